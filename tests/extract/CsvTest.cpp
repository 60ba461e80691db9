#include "extract/sheets/CsvReader.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "extract/office/OfficeReaders.h"
#include "extract/sheets/DifReader.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

std::string Csv(std::string_view bytes) {
  std::optional<SheetGrid> grid = ParseCsv(bytes);
  EXPECT_TRUE(grid.has_value()) << bytes;
  return grid ? grid->UsedRangeText() : std::string("<not parsed>");
}

TEST(CsvTest, SeparatorIsWhicheverTheFirstLineShowsMore) {
  EXPECT_EQ(CsvSeparator("a;b;c\r\n1,5;2,5;3"), ';');
  EXPECT_EQ(CsvSeparator("a,b;c\n"), ',');
  EXPECT_EQ(CsvSeparator("\"x;y;z\",b\n"), ',');  // separators inside quotes do not count
  EXPECT_EQ(CsvSeparator("single\na;b;c"), ',');  // only the first line decides
  EXPECT_EQ(CsvSeparator("a;b,c\n"), ',');        // a tie keeps the comma
  EXPECT_EQ(Csv("name;sum\r\nTea;12,5\r\n"), "name\tsum\r\nTea\t12,5\r\n");
  EXPECT_EQ(Csv("name,sum\nTea,12.5\n"), "name\tsum\r\nTea\t12.5\r\n");
}

TEST(CsvTest, QuotedFieldsFollowRfc4180) {
  EXPECT_EQ(Csv("a,\"b,c\",\"say \"\"hi\"\"\"\r\n"), "a\tb,c\t\"say \"\"hi\"\"\"\r\n");
  // A line break inside quotes belongs to the field; the clipboard form quotes such a cell.
  std::optional<SheetGrid> grid = ParseCsv("x,\"two\r\nlines\"\r\ny,z\r\n");
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->size(), 4u);
  EXPECT_EQ(grid->UsedRangeText(), "x\t\"two\r\nlines\"\r\ny\tz\r\n");
  EXPECT_EQ(Csv("\"\",b\nc,d\n"), "\tb\r\nc\td\r\n");
  // A quote inside an unquoted field is an ordinary character.
  EXPECT_EQ(Csv("5\" disk,1\n"), "\"5\"\" disk\"\t1\r\n");
}

TEST(CsvTest, RowsColumnsAndLineEnds) {
  // LF, CR LF and lone CR all end a row; empty lines stay empty rows inside the range.
  EXPECT_EQ(Csv("a,b\rc,d\n\ne,f"), "a\tb\r\nc\td\r\n\t\r\ne\tf\r\n");
  // Short rows are padded to the widest row; trailing separators make empty cells.
  EXPECT_EQ(Csv("a,b,c\n1\n"), "a\tb\tc\r\n1\t\t\r\n");
  EXPECT_EQ(Csv("\xEF\xBB\xBFh1,h2\n"), "h1\th2\r\n");
}

TEST(CsvTest, BytesAreDecodedByTheProgramRule) {
  EXPECT_EQ(Csv("Чай,Сумма\n"), "Чай\tСумма\r\n");
  EXPECT_EQ(Csv(base::Utf8ToCp1251("Чай;Сумма\n")), "Чай\tСумма\r\n");
}

TEST(CsvTest, MalformedInputIsRefused) {
  EXPECT_FALSE(ParseCsv(""));
  EXPECT_FALSE(ParseCsv("a,\"never closed\nb,c\n"));
  EXPECT_FALSE(ParseCsv(std::string("a,b\0c\n", 6)));
}

std::string Dif(std::string_view bytes) {
  std::optional<SheetGrid> grid = ParseDif(bytes);
  EXPECT_TRUE(grid.has_value()) << bytes;
  return grid ? grid->UsedRangeText() : std::string("<not parsed>");
}

const char kDifHeader[] =
    "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n0,2\r\n\"\"\r\n"
    "DATA\r\n0,0\r\n\"\"\r\n";

TEST(DifTest, TuplesBecomeRowsOfTypedValues) {
  const std::string dif = std::string(kDifHeader) +
                          "-1,0\r\nBOT\r\n1,0\r\n\"Name\"\r\n1,0\r\n\"Say \"\"hi\"\"\"\r\n"
                          "0,12.50\r\nV\r\n"
                          "-1,0\r\nBOT\r\n0,1\r\nTRUE\r\n0,0\r\nNA\r\n0,0\r\nERROR\r\n"
                          "-1,0\r\nBOT\r\n1,0\r\n\"Чай\"\r\n1,0\r\n\"\"\r\n0,-3e2\r\nV\r\n"
                          "-1,0\r\nEOD\r\n";
  EXPECT_EQ(Dif(dif), "Name\t\"Say \"\"hi\"\"\"\t12.5\r\nTRUE\t#N/A\t#VALUE!\r\nЧай\t\t-300\r\n");
  // Plain LF line ends and lower-case keywords are read too.
  EXPECT_EQ(Dif("table\n0,1\n\"\"\ndata\n0,0\n\"\"\n-1,0\nbot\n1,0\nx\n-1,0\neod\n"), "x\r\n");
}

TEST(DifTest, MalformedInputIsRefused) {
  const std::string header = kDifHeader;
  EXPECT_FALSE(ParseDif(""));
  EXPECT_FALSE(ParseDif("VECTORS\r\n0,3\r\n\"\"\r\n"));                  // must begin with TABLE
  EXPECT_FALSE(ParseDif("TABLE\r\n0,1\r\n\"\"\r\n"));                    // no DATA section
  EXPECT_FALSE(ParseDif(header + "-1,0\r\nBOT\r\n1,0\r\n\"cut\"\r\n"));  // no EOD
  EXPECT_FALSE(ParseDif(header + "1,0\r\n\"value before BOT\"\r\n-1,0\r\nEOD\r\n"));
  EXPECT_FALSE(ParseDif(header + "-1,0\r\nBOT\r\nx,0\r\nV\r\n-1,0\r\nEOD\r\n"));
  EXPECT_FALSE(ParseDif(header + "-1,0\r\nBOT\r\n0,1\r\nMAYBE\r\n-1,0\r\nEOD\r\n"));
  EXPECT_FALSE(ParseDif(header + "-1,0\r\nBOT\r\n7,1\r\nV\r\n-1,0\r\nEOD\r\n"));
}

TEST(CsvTest, SpreadsheetReaderStoresCsvAndDif) {
  test::TempDir dir;
  FileInfo info = GetExcelInfo(dir.write("Table.CSV", "a;b\r\n1;2\r\n"));
  EXPECT_EQ(info.type, "csv");
  EXPECT_EQ(info.content, " a\tb\r\n1\t2\r\n");
  EXPECT_EQ(info.author, "");
  info = GetExcelInfo(
      dir.write("t.dif", std::string(kDifHeader) + "-1,0\r\nBOT\r\n0,7\r\nV\r\n-1,0\r\nEOD\r\n"));
  EXPECT_EQ(info.type, "dif");
  EXPECT_EQ(info.content, " 7\r\n");
  EXPECT_EQ(GetExcelInfo(dir.write("cut.dif", kDifHeader)).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.file("missing.csv")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
