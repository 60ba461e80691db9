#include "extract/sheets/ExcelReader.h"

#include <cstdint>

#include "base/Paths.h"
#include "extract/office/OleProperties.h"
#include "extract/sheets/BiffReader.h"

namespace zyl::extract {

namespace {

constexpr std::uint16_t kRecordFilePass = 0x002F;
constexpr std::uint16_t kRecordEof = 0x000A;
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// No workbook stream comes near this; the bound keeps a lying size from exhausting memory.
constexpr std::size_t kMaxStreamBytes = std::size_t{1} << 30;

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
  std::optional<std::string> stream;
  const bool ole = ReadFileHead(path, kOle2Signature.size()) == kOle2Signature;
  if (ole) {
    // BIFF8 lives in "Workbook", BIFF5 and 7 in "Book".
    stream = ReadOleStream(path, "Workbook", kMaxStreamBytes);
    if (!stream) stream = ReadOleStream(path, "Book", kMaxStreamBytes);
  } else {
    // BIFF2 to 4 wrote the records as the file itself.
    stream = base::ReadFileBytes(path);
  }
  if (!stream) return std::nullopt;
  BiffWorkbook biff = ParseBiffStream(*stream);
  Workbook book;
  if (biff.status == BiffStatus::Encrypted) {
    book.encrypted = true;
    return book;
  }
  if (biff.status != BiffStatus::Ok) return std::nullopt;
  book.sheets = std::move(biff.sheets);
  if (ole) {
    if (std::optional<OleSummary> summary = ReadOleSummary(path)) {
      book.author = std::move(summary->author);
      book.title = std::move(summary->title);
    }
  }
  return book;
}

}  // namespace zyl::extract
