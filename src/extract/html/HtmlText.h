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
// The text of a page without its tags, as a reader sees it: a "<" starts a tag only before a
// letter, "/", "!" or "?" (otherwise it is a less-than sign and stays); a tag ends at the first
// ">" outside its quoted attribute values (a mailto link's "<ann@x.ru>" stays inside its tag);
// a tag of a block element (paragraph, line break, cell, heading, ...) leaves one blank, so the
// words on both sides stay apart. A tag without an end keeps the rest of the text, as StripTags
// does. Character references are left for DecodeHtmlEntities.
std::string HtmlTagsToText(std::string_view text);
// Long pages used to be stripped in pieces of about 4000 characters; gives exactly the text
// StripTags gives.
std::string StripTagsChunked(std::string_view text);

}  // namespace zyl::extract
