#include "search/Report.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace zyl::search {
namespace {

std::vector<ResultRow> TwoRows() {
  std::vector<ResultRow> rows(2);
  rows[0].location = "/d/a.txt";
  rows[0].modified = "2002-12-02";
  rows[1].location = "/d/b.doc";
  rows[1].modified = "2002-12-03 10:00:00";
  return rows;
}

TEST(Report, TotalsAloneGiveEmptyLinesThenTheCount) {
  ReportColumns c;
  c.totals = true;
  std::vector<ResultRow> rows(12);
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += "\r\n";
  // The totals line ends with CR LF like the others: readers that count lines see it.
  EXPECT_EQ(ReportText(rows, c, "Всего файлов:"), expected + "Всего файлов: 12\r\n");
  EXPECT_EQ(ReportText({}, c, "Всего файлов:"), "Всего файлов: 0\r\n");
}

TEST(Report, WritesTheFileOrSaysWhyNot) {
  test::TempDir dir;
  ReportColumns c;
  c.title = true;
  EXPECT_EQ(WriteReport(dir.file("report.txt"), TwoRows(), c, "x"), "");
  EXPECT_EQ(test::ReadFile(dir.file("report.txt")), "\"\"\t\r\n\"\"\t\r\n");
  const std::string error = WriteReport(dir.file("no/such/report.txt"), TwoRows(), c, "x");
  EXPECT_NE(error.find("no/such/report.txt"), std::string::npos);
}

}  // namespace
}  // namespace zyl::search
