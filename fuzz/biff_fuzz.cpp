// The BIFF workbook reader on arbitrary bytes: it must end, never read outside the stream and
// give UTF-8 cells whatever the records claim.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf8.h"
#include "extract/sheets/BiffReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const BiffWorkbook book =
      ParseBiffStream(std::string_view(reinterpret_cast<const char*>(data), size));
  if (book.status == BiffStatus::Encrypted && !book.sheets.empty()) std::abort();
  for (const SheetGrid& sheet : book.sheets) {
    if (!zyl::base::IsValidUtf8(sheet.UsedRangeText())) std::abort();
  }
  return 0;
}
