#include "catalog/IndexListRow.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/Paths.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

std::string TwoDecimals(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

std::string Local(const test::TempDir& dir, std::string_view name, std::string_view extra) {
  return dir.write(name, std::string("[General]\r\ntitle=Docs\r\nindextype=local\r\ndesc=a/nb\r\n"
                                     "ext=*.txt;*.htm*;*.pdf;*.wk1;*.wk3;*.wk4;\r\n") +
                             std::string(extra) + "\r\n[Folders]\r\n/a/,1\r\n/b/,0\r\n");
}

TEST(IndexListRowTest, ColumnsArePaddedAndSizesShownInKilobytes) {
  test::TempDir dir;
  const std::string path =
      Local(dir, "docs.zyl", "FilesCount=12\r\nFilesSize=2048\r\n[Mail]\r\nOutlookExpress=1");
  const IndexListRow row = MakeIndexListRow(path, TwoDecimals);
  EXPECT_FALSE(row.missing);
  EXPECT_EQ(row.columns[0], "Docs");
  EXPECT_EQ(row.columns[1], path);
  EXPECT_EQ(row.columns[2], "local");
  EXPECT_EQ(row.columns[3].size(), 19u);  // YYYY-MM-DD HH:MM:SS
  EXPECT_EQ(row.columns[4], "   12");
  EXPECT_EQ(row.columns[5], "       2.00 KB");
  EXPECT_EQ(row.files, 12);
  EXPECT_DOUBLE_EQ(row.sizeKb, 2.0);

  const std::string bare = dir.write("bare.zyl", "[General]\r\ntitle=Bare\r\nindextype=WebFolder");
  const IndexListRow web = MakeIndexListRow(bare, TwoDecimals);
  EXPECT_EQ(web.columns[2], "WebFolder");
  EXPECT_EQ(web.columns[4], "     ");
  EXPECT_EQ(web.columns[5], "           n/a");
}

TEST(IndexListRowTest, AMissingDescriptorIsShownButNeverCreated) {
  test::TempDir dir;
  const std::string gone = dir.file("gone.zyl");
  const auto rows = MakeIndexListRows({gone}, TwoDecimals);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].missing);
  EXPECT_EQ(rows[0].columns[0], "gone");
  EXPECT_EQ(rows[0].columns[5], "           n/a");
  EXPECT_TRUE(ReadIndexDetails(gone, nullptr).folders.empty());
  EXPECT_FALSE(base::FileExists(gone));
}

TEST(IndexListRowTest, SummaryAddsCountsAndRoundsKilobytesPerRow) {
  settings::Config() = settings::Settings();  // built-in texts
  IndexListRow a, b, c;
  a.files = 1234;
  a.sizeKb = 900;
  b.files = 20;
  b.sizeKb = 300;
  const IndexListRow* two[] = {&a, &b};
  EXPECT_EQ(SelectionSummary(two), "Выбрано  2, файлов:  1254,  1 MB");
  a.sizeKb = 0.6;
  b.sizeKb = 0.6;  // 0.6 -> 1, 1.6 -> 2: rounded after each row, not 1.2 -> 1
  EXPECT_EQ(SelectionSummary(two), "Выбрано  2, файлов:  1254,  2 KB");
  c.sizeKb = 2000000;
  const IndexListRow* big[] = {&c};
  EXPECT_EQ(SelectionSummary(big), "Выбрано  1, файлов:  0, ");
  // Odd numbers of a hand-edited descriptor neither wrap nor go negative.
  IndexListRow odd;
  odd.files = std::numeric_limits<std::int64_t>::max();
  odd.sizeKb = -1e300;
  const IndexListRow* odds[] = {&odd, &odd};
  EXPECT_EQ(SelectionSummary(odds), "Выбрано  2, файлов:  9223372036854775807,  0 KB");
  EXPECT_EQ(IndexCountText(3), "Всего индексов: 3");
  EXPECT_EQ(PadLeft("абв", 5), "  абв");
}

TEST(IndexListRowTest, DetailsOfLocalAndWebIndexes) {
  settings::Config() = settings::Settings();
  test::TempDir dir;
  const std::string path =
      Local(dir, "docs.zyl",
            "UserFiles=*.cpp;\r\nArchive=1\r\n[mail]\r\noutlookexpress=1\r\nNetscapeMessenger=1");
  std::string seenMasks;
  bool seenFull = true;
  const IndexDetails d = ReadIndexDetails(path, [&](std::string_view masks, bool pdfFull) {
    seenMasks = masks;
    seenFull = pdfFull;
    return std::vector<std::string>{"T"};
  });
  EXPECT_FALSE(seenFull);
  EXPECT_EQ(seenMasks, "*.txt;*.htm*;*.pdf;*.wk1;*.wk3;*.wk4;");
  EXPECT_EQ(d.description, "a\r\nb");
  EXPECT_EQ(d.foldersLabel, "Каталоги");
  EXPECT_EQ(d.folders, (std::vector<std::string>{"/a/", "/b/"}));
  EXPECT_EQ(d.typesLabel, "Типы файлов");
  // The archive line has no built-in text: without a language file it is empty.
  EXPECT_EQ(d.types, (std::vector<std::string>{"T", "Пользовательские *.cpp;", "Outlook Express",
                                               "Netscape messenger", ""}));

  const std::string web = dir.write(
      "web.zyl", "[General]\r\nindextype=WebFolder\r\nstarturl=http://x/\r\nurldept=3\r\n");
  const IndexDetails w = ReadIndexDetails(web, nullptr);
  EXPECT_EQ(w.foldersLabel, "Стартовый URL");
  EXPECT_EQ(w.folders, std::vector<std::string>{"http://x/"});
  EXPECT_EQ(w.typesLabel, "Глубина перебора ");
  EXPECT_EQ(w.types, std::vector<std::string>{"3"});
}

}  // namespace
}  // namespace zyl::catalog
