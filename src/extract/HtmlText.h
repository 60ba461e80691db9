// Plain-string HTML text extraction shared by the built-in HTML reader and the mail reader.
// All three work on raw bytes in one pass, so their cost is linear in the text's length
// whatever its size.
//
// Unterminated constructs: a "<!--" without a later "-->" hides the rest of the text (a
// browser shows nothing after it either), while a "<" without a later ">" is kept with the
// rest of the text, because in the sloppy pages that have one it is far more often a literal
// less-than sign than a cut-off tag. Both rules end after one scan and the output is never
// longer than the input.
#pragma once

#include <string>
#include <string_view>

namespace zyl::extract {

// Removes every "<!--" ... "-->" comment, then every "<script" ... "</script>" block (any
// letter case). A "<script" without a closing "</script>" stays, with everything after it.
std::string StripCommentsAndScripts(std::string_view text);
// Removes every tag: from a "<" through the first ">" after it (other "<" in between go too).
// Nothing is put in the tag's place.
std::string StripTags(std::string_view text);
// Long pages used to be stripped in pieces of about 4000 characters; gives exactly the text
// StripTags gives.
std::string StripTagsChunked(std::string_view text);

}  // namespace zyl::extract
