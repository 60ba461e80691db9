#include "extract/ExcelReader.h"

#include <gtest/gtest.h>

#include "extract/OfficeReaders.h"
#include "extract/OleProperties.h"
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
  EXPECT_EQ(GetExcelInfo(test::FixturePath("office/protected.xls")).type, "error");
  test::TempDir dir;
  const std::string book = Fixture("sample.xls");
  ASSERT_FALSE(book.empty());
  EXPECT_EQ(GetExcelInfo(dir.write("cut.xls", book.substr(0, book.size() / 2))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("head.xls", book.substr(0, 512))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("empty.xls", "")).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("text.xls", "Name\tSum\r\n")).type, "error");
  // A Word document is an OLE2 file too, but holds no workbook.
  EXPECT_EQ(GetExcelInfo(dir.write("word.xls", Fixture("sample.doc"))).type, "error");
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

TEST(ExcelTest, FilePassRecordMarksAnEncryptedWorkbook) {
  const std::string bof = Record(0x0809, std::string(16, '\0'));
  const std::string eof = Record(0x000A, "");
  EXPECT_TRUE(BiffHasFilePass(bof + Record(0x002F, std::string(54, 'k')) + eof));
  EXPECT_FALSE(BiffHasFilePass(bof + Record(0x0042, "\xE3\x04") + eof));
  // Only the workbook globals count: a FILEPASS-like record after their EOF is sheet data.
  EXPECT_FALSE(BiffHasFilePass(bof + eof + Record(0x002F, "")));
  // Cut records and empty streams are simply not encrypted.
  EXPECT_FALSE(BiffHasFilePass(bof.substr(0, 3)));
  EXPECT_FALSE(BiffHasFilePass(""));
  // The password-protected fixture carries the record, the plain one does not.
  const auto workbook = [](const std::string& name) {
    return ReadOleStream(test::FixturePath("office/" + name), "Workbook", 1 << 16).value_or("");
  };
  EXPECT_TRUE(BiffHasFilePass(workbook("protected.xls")));
  EXPECT_FALSE(BiffHasFilePass(workbook("sample.xls")));
  EXPECT_FALSE(workbook("sample.xls").empty());
}

}  // namespace
}  // namespace zyl::extract
