// Code-page detection and conversion of arbitrary bytes: every converter must end, keep the
// promised length and give valid UTF-8 where it promises text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf8.h"
#include "extract/core/CodePages.h"
#include "extract/core/CyrillicDetector.h"

using namespace zyl::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)CodePageName(DetectCodePage(bytes));
  (void)GuessSingleByteCyrillic(bytes);
  (void)Utf16BigEndianWithoutMark(bytes);
  if (!zyl::base::IsValidUtf8(AutoRecode(bytes))) std::abort();
  if (const auto text = DecodeUtf16Text(bytes); text && !zyl::base::IsValidUtf8(*text))
    std::abort();
  if (const auto text = DecodeMarkedText(bytes); text && !zyl::base::IsValidUtf8(*text))
    std::abort();
  if (!zyl::base::IsValidUtf8(MacCyrillicToUtf8(bytes))) std::abort();
  if (RecodeToWin(bytes, SourceCodePage::Koi8R).size() != size) std::abort();
  if (RecodeToWin(bytes, SourceCodePage::Iso8859_5).size() != size) std::abort();
  if (DosToWin(bytes).size() != size) std::abort();
  if (!zyl::base::IsValidUtf8(Utf16ToUtf8(bytes, size % 2 == 0))) std::abort();
  if (!zyl::base::IsValidUtf8(RepairUtf8(bytes))) std::abort();
  return 0;
}
