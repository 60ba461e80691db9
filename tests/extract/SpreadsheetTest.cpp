#include <gtest/gtest.h>

#include <shapefil.h>

#include <filesystem>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "extract/core/OfficeText.h"
#include "extract/office/OfficeReaders.h"
#include "extract/sheets/DbfReader.h"
#include "extract/sheets/LotusReader.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

TEST(SpreadsheetTest, UsedRangeIsTheBoundingBoxInClipboardForm) {
  SheetGrid grid;
  EXPECT_EQ(grid.UsedRangeText(), "");
  grid.Set(3, 2, "x");
  grid.Set(5, 4, "y");
  grid.Set(4, 3, "");  // empty texts are not cells
  EXPECT_EQ(grid.UsedRangeText(), "x\t\t\r\n\t\t\r\n\t\ty\r\n");
  grid.Set(5, 4, "");
  EXPECT_EQ(grid.UsedRangeText(), "x\r\n");
  grid.Set(0, 0, "two\nlines");
  grid.Set(0, 1, "tab\there");
  EXPECT_EQ(grid.UsedRangeText(), "\"two\nlines\"\t\"tab\there\"\t\r\n\t\t\r\n\t\t\r\n\t\tx\r\n");
}

TEST(SpreadsheetTest, WorkbookContentPutsABlankBeforeEachNonEmptySheet) {
  std::vector<SheetGrid> sheets(3);
  sheets[0].Set(0, 0, "first");
  sheets[2].Set(1, 1, "third");
  EXPECT_EQ(WorkbookContent(sheets), " first\r\n third\r\n");
  EXPECT_EQ(WorkbookContent(std::vector<SheetGrid>(2)), "");
}

TEST(SpreadsheetTest, NumbersAreShownWithoutAFormat) {
  EXPECT_EQ(FormatCellNumber(7), "7");
  EXPECT_EQ(FormatCellNumber(-0.0), "0");
  EXPECT_EQ(FormatCellNumber(12.5), "12.5");
  EXPECT_EQ(FormatCellNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatCellNumber(-1234567890123.0), "-1234567890123");
  EXPECT_EQ(FormatCellNumber(1e20), "1e+20");
  EXPECT_EQ(FormatCellNumber(1.0 / 0.0), "#NUM!");
}

TEST(SpreadsheetTest, CodePagesByWindowsNumber) {
  EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8", 1251), "При");
  EXPECT_EQ(DecodeCodePage("\x8F\xE0\xA8", 866), "При");
  EXPECT_EQ(DecodeCodePage("\xF0\xD2\xC9", 20866), "При");
  EXPECT_EQ(DecodeCodePage("caf\xE9", 1252), "café");
  EXPECT_TRUE(HaveCodePage(1250));
  EXPECT_FALSE(HaveCodePage(12345));
  // An unknown code page falls back to the program's rule (UTF-8, else Windows-1251).
  EXPECT_EQ(DecodeCodePage("\xCF", 12345), "П");
  EXPECT_EQ(DecodeCodePage("Привет", 12345), "Привет");
  EXPECT_EQ(NormalizeLineBreaks("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
}

TEST(SpreadsheetTest, FileHeadAndTail) {
  test::TempDir dir;
  const std::string path = dir.write("f.bin", "0123456789");
  EXPECT_EQ(ReadFileHead(path, 4), "0123");
  EXPECT_EQ(ReadFileTail(path, 4), "6789");
  EXPECT_EQ(ReadFileHead(path, 100), "0123456789");
  EXPECT_EQ(ReadFileTail(path, 100), "0123456789");
  EXPECT_EQ(ReadFileTail(dir.file("missing"), 4), "");
  EXPECT_EQ(ReadFileHead(dir.file("missing"), 4), "");
}

struct DbfRow {
  std::string name;
  double sum;
  bool deleted;
};

// Writes a table with shapelib's own writer. `ldid` goes into the header's language byte.
std::string WriteDbf(const test::TempDir& dir, const std::string& name, int ldid,
                     const std::vector<DbfRow>& rows) {
  const std::string path = dir.file(name);
  const std::string codePage = "LDID/" + std::to_string(ldid);
  DBFHandle h = DBFCreateEx(path.c_str(), codePage.c_str());
  EXPECT_NE(h, nullptr);
  DBFAddField(h, "NAME", FTString, 20, 0);
  DBFAddField(h, "SUM", FTDouble, 10, 2);
  DBFAddNativeFieldType(h, "DAY", 'D', 8, 0);
  char day[] = "20240131";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = static_cast<int>(i);
    DBFWriteStringAttribute(h, r, 0, rows[i].name.c_str());
    DBFWriteDoubleAttribute(h, r, 1, rows[i].sum);
    DBFWriteAttributeDirectly(h, r, 2, day);
    if (rows[i].deleted) DBFMarkRecordDeleted(h, r, 1);
  }
  DBFClose(h);
  return path;
}

TEST(SpreadsheetTest, DbfGivesFieldNamesThenLiveRecords) {
  test::TempDir dir;
  const std::string path =
      WriteDbf(dir, "goods.dbf", 0xC9,
               {{base::Utf8ToCp1251("Чай"), 12.5, false}, {"gone", 1, true}, {"Coffee", 7, false}});
  FileInfo info = GetExcelInfo(path);
  EXPECT_EQ(info.type, "dbf");
  EXPECT_EQ(info.content,
            " NAME\tSUM\tDAY\r\nЧай\t12.50\t2024-01-31\r\nCoffee\t7.00\t2024-01-31\r\n");
  EXPECT_EQ(info.author, "");
  // Without live records the field names are still the table's text.
  EXPECT_EQ(GetExcelInfo(WriteDbf(dir, "none.dbf", 0xC9, {})).content, " NAME\tSUM\tDAY\r\n");
  EXPECT_EQ(GetExcelInfo(WriteDbf(dir, "gone.dbf", 0xC9, {{"x", 1, true}})).content,
            " NAME\tSUM\tDAY\r\n");
}

TEST(SpreadsheetTest, DbfTextFollowsTheLanguageByte) {
  test::TempDir dir;
  const std::string dos = WriteDbf(dir, "dos.dbf", 0x65, {{"\x8F\xE0\xA8", 1, false}});
  EXPECT_EQ(GetExcelInfo(dos).content, " NAME\tSUM\tDAY\r\nПри\t1.00\t2024-01-31\r\n");
  // Without a known language byte the bytes are read by the program's rule.
  const std::string utf8 = WriteDbf(dir, "plain.dbf", 0, {{"Привет", 1, false}});
  EXPECT_EQ(GetExcelInfo(utf8).content, " NAME\tSUM\tDAY\r\nПривет\t1.00\t2024-01-31\r\n");
  // The extension's spelling does not matter to the reader.
  std::filesystem::rename(utf8, dir.file("UPPER.DBF"));
  EXPECT_EQ(GetExcelInfo(dir.file("UPPER.DBF")).type, "dbf");
}

TEST(SpreadsheetTest, DamagedDbfIsAnError) {
  test::TempDir dir;
  const std::string path = WriteDbf(dir, "t.dbf", 0xC9, {{"a", 1, false}, {"b", 2, false}});
  const std::string bytes = test::ReadFile(path);
  EXPECT_EQ(GetExcelInfo(dir.write("cut.dbf", bytes.substr(0, bytes.size() - 20))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("head.dbf", bytes.substr(0, 20))).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("text.dbf", "name;sum\n")).type, "error");
}

const char kSheet[] = " Name\tСумма\r\nЧай\t12.5\r\nCoffee\t7\r\n";

TEST(SpreadsheetTest, LotusAndQuattroFilesMapToTheirStoredTypes) {
  for (const auto& [name, type] :
       std::vector<std::pair<std::string, std::string>>{{"sample.wk1", "lotus"},
                                                        {"sample.wk3", "lotus"},
                                                        {"sample.wk4", "lotus"},
                                                        {"sample.wq1", "quattro"},
                                                        {"sample.wb1", "quattro"}}) {
    FileInfo info = GetExcelInfo(test::FixturePath("office/" + name));
    EXPECT_EQ(info.type, type) << name;
    EXPECT_EQ(info.content, kSheet) << name;  // DOS files in CP866, Windows ones in 1251
  }
}

TEST(SpreadsheetTest, Release4FilesWithAFormattingZoneAfterTheCellsAreRead) {
  // 1-2-3 release 4 writes its formatting as a second zone (a BOF of version 0x8007 ... EOF)
  // after the cells' EOF; some files end in padding after that.
  const std::string cells = test::ReadFile(test::FixturePath("office/sample.wk4"));
  ASSERT_FALSE(cells.empty());
  const std::string formatZone =
      std::string("\0\0\x1a\0\x07\x80", 6) + std::string(24, '\0') + std::string("\x01\0\0\0", 4);
  test::TempDir dir;
  for (const std::string& tail :
       {formatZone, formatZone + std::string(100, '\0'), std::string(37, '\0')}) {
    EXPECT_TRUE(LotusRecordsReachEof(cells + tail));
    const FileInfo info = GetExcelInfo(dir.write("book.wk4", cells + tail));
    EXPECT_EQ(info.type, "lotus");
    EXPECT_EQ(info.content, kSheet);
  }
}

TEST(SpreadsheetTest, DamagedLotusFilesAreErrors) {
  test::TempDir dir;
  for (const std::string name : {"sample.wk1", "sample.wk3", "sample.wq1", "sample.wb1"}) {
    const std::string bytes = test::ReadFile(test::FixturePath("office/" + name));
    ASSERT_FALSE(bytes.empty()) << name;
    const std::string ext = name.substr(name.size() - 3);
    EXPECT_EQ(GetExcelInfo(dir.write("cut." + ext, bytes.substr(0, bytes.size() - 4))).type,
              "error")
        << name;
    EXPECT_EQ(GetExcelInfo(dir.write("half." + ext, bytes.substr(0, bytes.size() / 2))).type,
              "error")
        << name;
  }
  // Records that stop before their EOF are a cut file, wherever the cut falls.
  const std::string wk4 = test::ReadFile(test::FixturePath("office/sample.wk4"));
  for (std::size_t size = 0; size < wk4.size(); ++size)
    EXPECT_FALSE(LotusRecordsReachEof(wk4.substr(0, size))) << size;
  // A Works word-processor file is not a spreadsheet, whatever its name.
  const std::string works = test::ReadFile(test::FixturePath("office/sample.wps"));
  EXPECT_EQ(GetExcelInfo(dir.write("works.wk1", works)).type, "error");
}

}  // namespace
}  // namespace zyl::extract
