// The crawler's reading of a page from an arbitrary server: charset decoding by the HTTP header
// and the page, HTML parsing, link resolution against the page's address, and the address rules
// applied to each link. The first byte chooses the Content-Type; the rest is the page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Utf8.h"
#include "indexer/HttpFetcher.h"
#include "indexer/WebClass.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::indexer;
  if (size == 0) return 0;
  static const char* const kTypes[] = {"text/html", "text/html; charset=utf-8",
                                       "text/html; charset=windows-1251",
                                       "text/html; charset=koi8-r", "text/html; charset=utf-16le"};
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);

  WebPage page;
  page.url = "http://127.0.0.1:8080/dir/page.htm";
  page.contentType = kTypes[data[0] % 5];
  ReadHtmlPage(page, body);
  Check(zyl::base::IsValidUtf8(page.text) && zyl::base::IsValidUtf8(page.title) &&
        zyl::base::IsValidUtf8(page.author));
  Check(page.serialisedLength >= 0);
  for (const std::string& link : page.links) {
    Check(link.starts_with("http://") || link.starts_with("https://"));
    (void)WebClass::GetUrlFileExt(link);
    (void)RequestUrl(WebClass::UrlDecode(link));
  }
  // The address rules on raw text as well; decoding never puts a NUL into an address.
  (void)WebClass::GetUrlFileExt(body);
  Check(WebClass::UrlDecode(body).find('\0') == std::string::npos ||
        body.find('\0') != std::string_view::npos);
  return 0;
}
