#include "extract/ExcelReader.h"

#include <freexl.h>

#include <cstdint>

#include "base/Cp1251.h"
#include "extract/OleProperties.h"

namespace zyl::extract {

namespace {

constexpr std::uint16_t kRecordFilePass = 0x002F;
constexpr std::uint16_t kRecordEof = 0x000A;
// FILEPASS follows the first BOF at once; the globals seldom run past a few kilobytes before
// it, so only the stream's beginning is read.
constexpr std::size_t kGlobalsScanBytes = 64 * 1024;

class FreeXlHandle {
 public:
  ~FreeXlHandle() {
    if (handle_) freexl_close(handle_);
  }
  const void** out() { return &handle_; }
  const void* get() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

std::string CellText(const FreeXL_CellValue& v) {
  switch (v.type) {
    case FREEXL_CELL_INT:
      return std::to_string(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return FormatCellNumber(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return v.value.text_value ? base::DecodeLegacyText(v.value.text_value) : std::string();
    default:
      return {};
  }
}

bool IsEncrypted(std::string_view path) {
  for (const char* name : {"Workbook", "Book"}) {
    if (std::optional<std::string> stream = ReadOleStream(path, name, kGlobalsScanBytes))
      return BiffHasFilePass(*stream);
  }
  return false;
}

}  // namespace

bool BiffHasFilePass(std::string_view stream) {
  std::size_t pos = 0;
  while (pos + 4 <= stream.size()) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(stream[pos + i]); };
    const std::uint16_t type = static_cast<std::uint16_t>(byte(0) | (byte(1) << 8));
    const std::uint16_t length = static_cast<std::uint16_t>(byte(2) | (byte(3) << 8));
    if (type == kRecordFilePass) return true;
    if (type == kRecordEof) return false;
    pos += 4 + static_cast<std::size_t>(length);
  }
  return false;
}

std::optional<Workbook> ReadExcelWorkbook(std::string_view path) {
  const std::string p(path);
  if (IsEncrypted(p)) return std::nullopt;
  FreeXlHandle xls;
  if (freexl_open(p.c_str(), xls.out()) != FREEXL_OK) return std::nullopt;
  unsigned int info = 0;
  if (freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
      info == FREEXL_BIFF_OBFUSCATED)
    return std::nullopt;
  unsigned int sheetCount = 0;
  if (freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
    return std::nullopt;

  Workbook book;
  for (unsigned short i = 0; i < sheetCount; ++i) {
    if (freexl_select_active_worksheet(xls.get(), i) != FREEXL_OK) return std::nullopt;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(xls.get(), &rows, &columns) != FREEXL_OK) return std::nullopt;
    SheetGrid grid;
    for (unsigned int r = 0; r < rows; ++r) {
      for (unsigned short c = 0; c < columns; ++c) {
        FreeXL_CellValue value;
        if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) return std::nullopt;
        grid.Set(r, c, CellText(value));
      }
    }
    book.sheets.push_back(std::move(grid));
  }
  if (std::optional<OleSummary> summary = ReadOleSummary(p)) {
    book.author = std::move(summary->author);
    book.title = std::move(summary->title);
  }
  return book;
}

}  // namespace zyl::extract
