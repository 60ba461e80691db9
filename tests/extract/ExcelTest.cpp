#include "extract/sheets/ExcelReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "extract/sheets/BiffReader.h"

#include "extract/office/OfficeReaders.h"
#include "support/OleWriter.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

// sample.xls holds three sheets: the first with a small table, the second empty, the third
// with two cells away from A1 (see tests/fixtures/office/README.md).
const char kWorkbookContent[] =
    " Name\tСумма\r\nЧай\t12.5\r\nCoffee\t7\r\n third sheet\t\r\n\tитог\r\n";

std::string Fixture(const std::string& name) {
  return test::ReadFile(test::FixturePath("office/" + name));
}

TEST(ExcelTest, WorkbookGivesEverySheetsUsedRangeAndTheProperties) {
  FileInfo info = GetExcelInfo(test::FixturePath("office/sample.xls"));
  EXPECT_EQ(info.type, "xls");
  EXPECT_EQ(info.content, kWorkbookContent);
  EXPECT_EQ(info.author, "Anna Smith");
  EXPECT_EQ(info.title, "Бюджет");
  info = GetExcelInfo(test::FixturePath("office/sample.xlt"));
  EXPECT_EQ(info.type, "xlt");
  EXPECT_EQ(info.content, kWorkbookContent);
}

TEST(ExcelTest, OtherExcelExtensionsAreStoredAsExcel2) {
  test::TempDir dir;
  const std::string book = Fixture("sample.xls");
  for (const std::string ext : {"xlw", "xlc", "xlm", "XLW"}) {
    FileInfo info = GetExcelInfo(dir.write("book." + ext, book));
    EXPECT_EQ(info.type, "excel2") << ext;
    EXPECT_EQ(info.content, kWorkbookContent) << ext;
  }
}

TEST(ExcelTest, EncryptedDamagedAndForeignFilesAreErrors) {
  const FileInfo encrypted = GetExcelInfo(test::FixturePath("office/protected.xls"));
  EXPECT_EQ(encrypted.type, "error");
  EXPECT_TRUE(encrypted.passwordRequired);
  test::TempDir dir;
  const std::string book = Fixture("sample.xls");
  ASSERT_FALSE(book.empty());
  EXPECT_EQ(GetExcelInfo(dir.write("cut.xls", book.substr(0, book.size() / 2))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("head.xls", book.substr(0, 512))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("text.xls", "Name\tSum\r\n")).type, "error");
  // A Word document is an OLE2 file too, but holds no workbook.
  const FileInfo word = GetExcelInfo(dir.write("word.xls", Fixture("sample.doc")));
  EXPECT_EQ(word.type, "error");
  EXPECT_FALSE(word.passwordRequired);  // not Excel: unreadable, not locked
}

std::string Record(std::uint16_t type, std::string_view data) {
  std::string r;
  r += static_cast<char>(type & 0xFF);
  r += static_cast<char>(type >> 8);
  r += static_cast<char>(data.size() & 0xFF);
  r += static_cast<char>(data.size() >> 8);
  r += data;
  return r;
}

// --- Workbooks written record by record ----------------------------------------------------

std::string U16(unsigned v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string U32(unsigned v) {
  return U16(v & 0xFFFF) + U16(v >> 16);
}
std::string F64(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  std::string out;
  for (int i = 0; i < 8; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
  return out;
}
std::string Cell(unsigned row, unsigned column, unsigned xf = 0) {
  return U16(row) + U16(column) + U16(xf);
}
// A BIFF8 string: count, option byte, characters (one byte each unless `wide`).
std::string Str8(std::string_view latin1) {
  return U16(static_cast<unsigned>(latin1.size())) + '\0' + std::string(latin1);
}
std::string Wide(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) out += U16(c);
  return out;
}

std::string Bof(unsigned version, unsigned kind) {
  return Record(0x0809, U16(version) + U16(kind) + std::string(12, '\0'));
}
const std::string kEof = Record(0x000A, "");

// A BIFF8 workbook as other programs write it: shared strings continued across records (one
// of them switching to two bytes a character in the continuation, one with formatting runs
// split from its characters), labels, numbers in every record form, a formula's cached
// string, a boolean, a date, and a chart substream inside the sheet.
std::string Biff8Workbook() {
  // "Format Value" is cut after "Forma": the continuation starts with its own option byte.
  const std::string sstHead = U32(3) + U32(3) + U16(12) + '\0' + "Forma";
  const std::string continued = std::string(1, '\0') + "t Value";
  // "Привет" in two-byte characters with one formatting run, split inside the run.
  const std::string rich = U16(6) + '\x09' + U16(1) + Wide(u"Привет") + std::string("\x01\x00", 2);
  const std::string richRest("\x02\x00", 2);
  // "ab" then, after a join, "Ж" in two bytes.
  const std::string mixed = U16(2) + '\0' + "a";
  const std::string mixedRest = std::string(1, '\0') + "b";
  const std::string globals =
      Bof(0x0600, 0x0005) + Record(0x0042, U16(1200)) +
      Record(0x00E0, U16(0) + U16(0) + std::string(16, '\0')) +   // XF 0: General
      Record(0x00E0, U16(0) + U16(14) + std::string(16, '\0')) +  // XF 1: a date
      Record(0x00FC, sstHead) + Record(0x003C, continued + rich) +
      Record(0x003C, richRest + mixed) + Record(0x003C, mixedRest) + kEof;
  const std::string sheet =
      Bof(0x0600, 0x0010) + Record(0x00FD, Cell(0, 0) + U32(0)) +
      Record(0x00FD, Cell(0, 1) + U32(1)) + Record(0x00FD, Cell(0, 2) + U32(2)) +
      Record(0x0204, Cell(1, 0) + Str8("label")) + Record(0x0203, Cell(1, 1) + F64(12.5)) +
      Record(0x027E, Cell(1, 2) + U32((7u << 2) | 2)) +
      Record(0x00BD, U16(2) + U16(0) + U16(0) + U32((1234u << 2) | 3) + U16(0) +
                         U32(static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(2.0) >> 32)) +
                         U16(1)) +
      Record(0x0006,
             Cell(3, 0) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + U16(0) + U32(0) + U16(0)) +
      Record(0x0207, Str8("cached")) + Record(0x0205, Cell(3, 1) + std::string("\x01\x00", 2)) +
      Record(0x0203, Cell(3, 2, 1) + F64(37592)) +  // 2 December 2002 in the date format
      Bof(0x0600, 0x0020) + Record(0x0203, Cell(9, 9) + F64(99)) + kEof +  // a chart: no cells
      kEof;
  return globals + sheet + Bof(0x0600, 0x0010) + kEof;
}

TEST(BiffReaderTest, Biff8StringsAcrossContinueRecordsAndEveryCellForm) {
  const BiffWorkbook book = ParseBiffStream(Biff8Workbook());
  ASSERT_EQ(book.status, BiffStatus::Ok);
  EXPECT_EQ(book.version, 8);
  ASSERT_EQ(book.sheets.size(), 2u);
  EXPECT_EQ(
      book.sheets[0].UsedRangeText(),
      "Format Value\tПривет\tab\r\nlabel\t12.5\t7\r\n12.34\t2\t\r\ncached\tTRUE\t2002-12-02\r\n");
  EXPECT_TRUE(book.sheets[1].empty());
}

TEST(BiffReaderTest, OlderVersionsInTheirCodePages) {
  // BIFF5 ("Book" stream): byte strings in the declared code page 1251.
  const std::string biff5 =
      Record(0x0809, U16(0x0500) + U16(0x0005) + U32(0)) + Record(0x0042, U16(1251)) + kEof +
      Record(0x0809, U16(0x0500) + U16(0x0010) + U32(0)) +
      Record(0x0204, Cell(0, 0) + U16(6) + "\xCF\xF0\xE8\xE2\xE5\xF2") +
      Record(0x0006, Cell(0, 1) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + U16(0) + U32(0)) +
      Record(0x0207, U16(3) + "\xE8\xF2\xEE\xE3") + kEof;
  BiffWorkbook book = ParseBiffStream(biff5);
  ASSERT_EQ(book.status, BiffStatus::Ok);
  EXPECT_EQ(book.version, 5);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].UsedRangeText(), "Привет\tито\r\n");

  // BIFF2, the file itself: one-byte lengths, three attribute bytes, integers.
  const std::string biff2 =
      Record(0x0009, U16(2) + U16(0x0010)) +
      Record(0x0004, U16(0) + U16(0) + std::string(3, '\0') + "\x04" + "Name") +
      Record(0x0003, U16(0) + U16(1) + std::string(3, '\0') + F64(-1.5)) +
      Record(0x0002, U16(1) + U16(0) + std::string(3, '\0') + U16(42)) + kEof;
  book = ParseBiffStream(biff2);
  ASSERT_EQ(book.status, BiffStatus::Ok);
  EXPECT_EQ(book.version, 2);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].UsedRangeText(), "Name\t-1.5\r\n42\t\r\n");

  // BIFF4 with a formula's cached string and a custom date-and-time format.
  const std::string biff4 =
      Record(0x0409, U16(0) + U16(0x0010) + U16(0)) + Record(0x0042, U16(1251)) +
      Record(0x041E, U16(0) + "\x10" + "dd.mm.yyyy hh:mm") +
      Record(0x0443, std::string("\0\0", 2)) +
      Record(0x0443, std::string("\0\0", 2)) +  // XF 1: the first format, counted from 0
      Record(0x0406, Cell(0, 0) + std::string("\0\0\0\0\0\0\xFF\xFF", 8) + U16(0)) +
      Record(0x0207, U16(2) + "\xC4\xE0") + Record(0x0203, Cell(0, 1, 1) + F64(37592.75)) + kEof;
  book = ParseBiffStream(biff4);
  ASSERT_EQ(book.status, BiffStatus::Ok);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].UsedRangeText(), "Да\t2002-12-02 18:00:00\r\n");
}

TEST(BiffReaderTest, EncryptedNotBiffAndDamagedStreams) {
  EXPECT_EQ(ParseBiffStream(Bof(0x0600, 5) + Record(0x002F, std::string(54, 'k')) + kEof).status,
            BiffStatus::Encrypted);
  EXPECT_EQ(ParseBiffStream("").status, BiffStatus::NotBiff);
  EXPECT_EQ(ParseBiffStream(Record(0x0042, U16(1251)) + kEof).status, BiffStatus::NotBiff);
  // A record running past the end is damage; zero padding after the last record is not.
  EXPECT_EQ(ParseBiffStream(Biff8Workbook() + std::string(7, '\0')).status, BiffStatus::Ok);
  const std::string whole = Biff8Workbook();
  EXPECT_EQ(ParseBiffStream(whole.substr(0, whole.size() - 3)).status, BiffStatus::Damaged);
  // Every cut and every flipped byte of a real workbook ends with some status.
  for (std::size_t cut = 0; cut < whole.size(); ++cut) ParseBiffStream(whole.substr(0, cut));
  for (std::size_t i = 0; i < whole.size(); ++i) {
    std::string flipped = whole;
    flipped[i] = static_cast<char>(~flipped[i]);
    ParseBiffStream(flipped);
  }
  // Counts and indexes from the file are never trusted: a huge string count, a shared string
  // index past the table, a MULRK without cells, a column past the last one.
  const std::string lying = Bof(0x0600, 5) + Record(0x00FC, U32(~0u) + U32(~0u) + Str8("x")) +
                            kEof + Bof(0x0600, 0x10) + Record(0x00FD, Cell(0, 0) + U32(5)) +
                            Record(0x00FD, Cell(0, 1) + U32(0)) + Record(0x00BD, U16(0)) +
                            Record(0x0203, Cell(65535, 60000) + F64(1)) + kEof;
  const BiffWorkbook book = ParseBiffStream(lying);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].UsedRangeText(), "x\r\n");  // the used range starts at column B
}

TEST(ExcelTest, WorkbooksOfOtherWritersAndVersionsAreRead) {
  test::TempDir dir;
  // Upper-case stream name, as some writers store it.
  FileInfo info =
      GetExcelInfo(test::WriteOleStream(dir.file("upper.xls"), "WORKBOOK", Biff8Workbook()));
  EXPECT_EQ(info.type, "xls");
  EXPECT_EQ(info.content.rfind(" Format Value\tПривет\tab\r\n", 0), 0u) << info.content;
  // A BIFF5 "Book" stream and a plain BIFF2 file.
  const std::string biff5 = Record(0x0809, U16(0x0500) + U16(0x0010) + U32(0)) +
                            Record(0x0204, Cell(0, 0) + U16(2) + "ok") + kEof;
  EXPECT_EQ(GetExcelInfo(test::WriteOleStream(dir.file("five.xls"), "Book", biff5)).content,
            " ok\r\n");
  const std::string biff2 = Record(0x0009, U16(2) + U16(0x0010)) +
                            Record(0x0004, U16(0) + U16(0) + std::string(3, '\0') + "\x02" + "hi") +
                            kEof;
  EXPECT_EQ(GetExcelInfo(dir.write("two.xls", biff2)).content, " hi\r\n");
}

}  // namespace
}  // namespace zyl::extract
