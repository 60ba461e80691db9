// Plain-string HTML text extraction shared by the built-in HTML reader and the mail reader.
#pragma once

#include <string>
#include <string_view>

namespace zyl::extract {

std::string StripCommentsAndScripts(std::string_view text);
std::string StripTags(std::string_view text);
// The same result as StripTags, in pieces cut at a "<" after every 4000 characters.
std::string StripTagsChunked(std::string_view text);

}  // namespace zyl::extract
