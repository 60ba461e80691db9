// The built-in HTML reader: plain string searches on the page's raw bytes, fast on pages of any
// size. Title and author come from the part before the body, the text is the page with comments,
// scripts and tags cut out (a blank where a block element's tag was), a Cyrillic code page
// declared in the head is recoded, and character references are decoded in all three. Title and
// author have their runs of blanks and line breaks made one blank and are trimmed.
#pragma once

#include <string>
#include <string_view>

#include "extract/DocumentType.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// Type "html", or "error" for a missing or empty file.
FileInfo GetHtmlInfo(std::string_view path);
// The table's reader of HTML pages: the built-in reader, or the rendering one when the run
// asks for it.
FileInfo ReadHtmlPage(std::string_view path, const DocumentType& type,
                      const ExtractOptions& options);
// The same for a page's bytes.
FileInfo HtmlInfoFromBytes(std::string_view bytes);

// The text between the first title tag ("<title>", any letter case, attributes and line breaks
// inside the tag allowed) and the following "</title", as found; "" when either is missing.
std::string GetHtmlTitle(std::string_view head);
// The content value of the meta tag around the first "author" in the head; "" when there is
// none or it cannot be read.
std::string GetHtmlAuthor(std::string_view head);

}  // namespace zyl::extract
