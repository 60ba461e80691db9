// Reading a loaded web page: its bytes decoded to program text, then parsed as HTML5 into what
// the crawler stores and follows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::indexer {

struct ParsedPage {
  bool ok = false;       // false when the page could not be parsed within the time budget
  std::string text;      // the body's rendered text: what a reader sees, script and style left out
  std::string title;     // the title element's text, blanks collapsed
  std::string author;    // content of the first meta named exactly "Author"
  std::string baseHref;  // href of the first base element, as written ("" without one)
  std::vector<std::string> hrefs;  // href of every anchor that has one, in document order
  // Number of code points of the decoded page, standing for the length of the serialised
  // document: the markup a browser would give back is the page text itself, give or take
  // the normalisation of its tags.
  std::int64_t serialisedLength = 0;
};

// How long one page may take to parse. The HTML5 tree builder spends time proportional to the
// nesting depth on each tag, so a hostile page of deeply nested elements would otherwise keep
// the crawl busy for hours.
inline constexpr std::chrono::milliseconds kDefaultParseBudget{10000};

// The charset parameter of a Content-Type value ("" when none).
std::string CharsetOfContentType(std::string_view contentType);

// Decodes page bytes to UTF-8. A byte-order mark decides first, then `charset` (the HTTP
// header's, else the page's own meta declaration); without either, or with a charset this
// system cannot convert, the program's rule for outside text applies (valid UTF-8 stays,
// anything else is Windows-1251).
std::string DecodePageBytes(std::string_view bytes, std::string_view charset);

// Decodes and parses one HTML page. `headerCharset` is the charset of the Content-Type header.
ParsedPage ParseWebPage(std::string_view bytes, std::string_view headerCharset,
                        std::chrono::milliseconds budget = kDefaultParseBudget);

}  // namespace zyl::indexer
