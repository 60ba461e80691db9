// The crawler's reading of a page from an arbitrary server: charset decoding, HTML parsing,
// link resolution against the page's address, and the address rules applied to each link.
// The first byte chooses the charset the HTTP header names; the rest is the page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Utf8.h"
#include "indexer/HttpFetcher.h"
#include "indexer/WebClass.h"
#include "indexer/WebPageParser.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::indexer;
  if (size == 0) return 0;
  static const char* const kCharsets[] = {"", "utf-8", "windows-1251", "koi8-r", "utf-16le"};
  const std::string_view charset = kCharsets[data[0] % 5];
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  const ParsedPage page = ParseWebPage(bytes, charset);
  Check(page.ok);
  Check(zyl::base::IsValidUtf8(page.text) && zyl::base::IsValidUtf8(page.title) &&
        zyl::base::IsValidUtf8(page.author));

  const std::string address = "http://127.0.0.1:8080/dir/page.htm";
  const std::string base = ResolveUrl(address, page.baseHref).value_or(address);
  for (const std::string& href : page.hrefs) {
    const auto link = ResolveUrl(base, href);
    if (!link) continue;
    Check(link->rfind("http://", 0) == 0 || link->rfind("https://", 0) == 0);
    (void)WebClass::GetUrlFileExt(*link);
    (void)RequestUrl(WebClass::UrlDecode(*link));
  }
  // The address rules on raw text as well.
  (void)WebClass::GetUrlFileExt(bytes);
  Check(WebClass::UrlDecode(bytes).find('\0') == std::string::npos ||
        bytes.find('\0') != std::string_view::npos);
  return 0;
}
