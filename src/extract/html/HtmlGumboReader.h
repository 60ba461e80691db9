// The rendering HTML reader: parses the page as a browser does (HTML5 tree construction) and
// takes the text a reader of the page sees, its title and its author meta tag. Chosen for
// files when UseInternalHtmlParser is off; the web crawler uses ParseHtmlPage for every page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "extract/FileInfo.h"

namespace zyl::extract {

struct HtmlPage {
  // The body as rendered text: script, style and the like left out, entities decoded,
  // white space collapsed, a line break (CR LF) after block elements and at every <br>, a
  // TAB between table cells.
  std::string text;
  std::string title;               // the first <title>, white space collapsed and trimmed
  std::string author;              // content of the first <meta> whose name matches, "" when none
  std::vector<std::string> links;  // href of every <a> that has one, in document order
  std::string baseHref;            // href of the first <base>, "" when none
};

struct HtmlPageOptions {
  // false: the meta name is compared lower-cased with "author"; true: it must be exactly
  // "Author", as the web index has always required.
  bool authorExactCase = false;
};

// Decodes the page (byte-order mark first, then the charset its head declares, then the
// program's rule for outside text) and parses it. Never fails: anything gives some page.
HtmlPage ParseHtmlPage(std::string_view bytes, const HtmlPageOptions& options = {});

// The page's bytes as UTF-8: UTF-8 by its mark, UTF-16 by its mark or its shape, else the
// charset the head declares, else the code page detector's verdict.
std::string DecodeHtmlBytes(std::string_view bytes);
// The charset the page's head names ("koi8-r"), lower-cased; "" when none.
std::string DeclaredCharset(std::string_view bytes);

// The file-reading side: type "html", or "error" when the file cannot be read.
FileInfo GetHtmlInfoIE(std::string_view path);

}  // namespace zyl::extract
