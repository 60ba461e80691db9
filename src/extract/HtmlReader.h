// The built-in HTML reader: plain string searches on the page's raw bytes. Title and author
// come from the part before the body, the text is the page with comments, scripts and tags
// cut out, and a Cyrillic code page declared in the head is recoded.
#pragma once

#include <string>
#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// Type "html", or "error" for a missing or empty file.
FileInfo GetHtmlInfo(std::string_view path);
// The same for a page's bytes.
FileInfo HtmlInfoFromBytes(std::string_view bytes);

// The text between the first "<title>" and the following "</title" (any letter case), as
// found; "" when either is missing. A title tag with attributes is not recognised.
std::string GetHtmlTitle(std::string_view head);
// The content value of the meta tag around the first "author" in the head; "" when there is
// none or it cannot be read.
std::string GetHtmlAuthor(std::string_view head);

}  // namespace zyl::extract
