// The rendering HTML reader on arbitrary bytes: decoding, the nesting guard and the parse must
// end quickly and give UTF-8 text whatever the page holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf8.h"
#include "extract/html/HtmlGumboReader.h"

using namespace zyl::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool exact : {false, true}) {
    const HtmlPage page = ParseHtmlPage(bytes, {.authorExactCase = exact});
    if (!zyl::base::IsValidUtf8(page.text) || !zyl::base::IsValidUtf8(page.title) ||
        !zyl::base::IsValidUtf8(page.author) || !zyl::base::IsValidUtf8(page.baseHref))
      std::abort();
    for (const auto& link : page.links)
      if (!zyl::base::IsValidUtf8(link)) std::abort();
  }
  return 0;
}
