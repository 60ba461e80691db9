// The substring index's tokenizer over arbitrary bytes, as a damaged database could hand it: in
// both modes no token may reach past the text, and a document made from the bytes must give
// back exactly their distinct windows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "db/SubstringIndex.h"
#include "db/TrigramTokenizer.h"

namespace {

std::set<std::string> Tokens(std::string_view text, bool document) {
  std::set<std::string> out;
  zyl::db::SplitTrigrams(text, document, [&](std::size_t start, std::size_t end) {
    if (start >= end || end > text.size() || end - start > 12) std::abort();
    out.emplace(text.substr(start, end - start));
    return true;
  });
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (Tokens(zyl::db::DistinctTrigrams(text), true) != Tokens(text, false)) std::abort();
  (void)Tokens(text, true);
  (void)zyl::db::SubstringIndexText(text);
  return 0;
}
