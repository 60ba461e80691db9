// The result page and excerpts over arbitrary templates, contents and search words.
#include <cstddef>
#include <cstdint>
#include <string>

#include "server/ResultPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first line is the search words, the rest the template and the hit's content.
  const std::size_t eol = input.find('\n');
  const std::string words = input.substr(0, eol == std::string::npos ? 0 : eol);
  const std::string rest = eol == std::string::npos ? input : input.substr(eol + 1);
  zyl::search::ResultRow hit;
  hit.title = rest.substr(0, 40);
  hit.location = "/x/" + rest.substr(0, 20);
  (void)zyl::server::MakeExcerpt(rest, words);
  // The search words double as the page number, so odd page numbers are tried too.
  (void)zyl::server::BuildResultPage(
      rest, {hit, hit, hit}, [](const zyl::search::ResultRow& r) { return r.location; },
      [&](std::size_t) { return zyl::server::MakeExcerpt(rest, words); },
      zyl::server::SlicePage(3, 2, words),
      [](std::size_t page) { return "/?page=" + std::to_string(page); });
  (void)zyl::server::MimeTypeOf(rest, {"text/html;htm", rest});
  return 0;
}
