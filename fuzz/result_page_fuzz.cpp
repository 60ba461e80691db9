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
  hit.content = rest;
  hit.location = "/x/" + rest.substr(0, 20);
  (void)zyl::server::MakeExcerpt(rest, words);
  (void)zyl::server::BuildResultPage(rest, {hit, hit}, words,
                                     [](const zyl::search::ResultRow& r) { return r.location; });
  (void)zyl::server::MimeTypeOf(rest, {"text/html;htm", rest});
  return 0;
}
