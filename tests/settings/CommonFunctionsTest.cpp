#include "settings/CommonFunctions.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

std::string Added(std::string_view item, std::string list, std::int32_t limit = 15) {
  AddToRecentList(item, list, limit);
  return list;
}

TEST(RecentListTest, NewestFirstWithoutDuplicatesOfAnyLetterCase) {
  EXPECT_EQ(Added("b", "a;b;c"), "b;a;c");
  EXPECT_EQ(Added("B", "a;b"), "B;a");
  EXPECT_EQ(Added("x", ""), "x;");
  EXPECT_EQ(Added("Отчёт", "отчёт;a;ОТЧЁТ"), "Отчёт;a");
  EXPECT_EQ(Added("", "a;b"), "a;b");
  // A list that is not cut keeps its trailing ";".
  EXPECT_EQ(Added("c", "a;b;"), "c;a;b;");
  EXPECT_EQ(Added("my docs", "a"), "my docs;a");
}

TEST(RecentListTest, LimitCutsTheOldestEntries) {
  EXPECT_EQ(Added("d", "a;b;c", 3), "d;a;b");
  EXPECT_EQ(Added("d", "a;b;", 3), "d;a;b");  // the empty tail counts as a piece
  EXPECT_EQ(Added("d", "a;b;c", 0), "d");
  EXPECT_EQ(Added("d", "a;b;c", -5), "d");
  Config().QueryRecentLenght = 2;
  std::string list = "a;b";
  AddToRecentList("c", list);
  EXPECT_EQ(list, "c;a");
  Config() = Settings();
}

TEST(RecentListTest, SplitSkipsEmptyEntries) {
  EXPECT_EQ(SplitRecentList("a;;b c;"), (std::vector<std::string>{"a", "b c"}));
  EXPECT_TRUE(SplitRecentList("").empty());
  EXPECT_TRUE(SplitRecentList(";;").empty());
}

// Width of a text: ten units per character.
int TenPerChar(std::string_view s) {
  return static_cast<int>(base::Len(s)) * 10;
}

// Keeps the head and the end, never made longer; when nothing fits it stops at the head.
TEST(FitLabelTextTest, KeepsTheHeadAndTheEndOrStopsAtTheHead) {
  struct Case {
    std::string text;
    int width, head;
    std::string fitted;
  };
  const Case cases[] = {
      {"/home/ann/documents/reports/2023/budget.txt", 300, 10, "/home/ann/ .. /2023/budget.txt"},
      {"short", 300, 10, "short"},
      {"abcdefghijklmnopqrstuvwxyz", 200, 3, "abc .. nopqrstuvwxyz"},
      {"Документы и отчёты за прошлый год", 5, 10, "Документы  .. "},
      {"abcdefghijkl", 5, 10, "abcdefghijkl"},  // too short to shorten
  };
  for (Case c : cases) {
    FitLabelText(c.text, c.width, TenPerChar, c.head);
    EXPECT_EQ(c.text, c.fitted);
  }
  std::string never = "abcdefghijklmnop";
  FitLabelText(
      never, 0, [](std::string_view) { return INT_MAX; }, 0);
  EXPECT_EQ(never, "abcdefghij .. ");
}

TEST(FormatElapsedTest, HoursMinutesSeconds) {
  EXPECT_EQ(FormatElapsed(3725), "01:02:05");
  EXPECT_EQ(FormatElapsed(40000), "11:06:40");
  EXPECT_EQ(FormatElapsed(0), "00:00:00");
  EXPECT_EQ(FormatElapsed(360000), "100:00:00");
  EXPECT_EQ(FormatElapsed(-7), "00:00:00");
}

TEST(TextFileTest, SaveAppendsALineBreakAndReadDecodesLegacyText) {
  test::TempDir dir;
  const std::string p = dir.file("report.txt");
  EXPECT_TRUE(SaveTextFile(p, "Файл x не существует."));
  EXPECT_EQ(test::ReadFile(p), "Файл x не существует.\r\n");
  EXPECT_TRUE(SaveTextFile(p, "short"));
  EXPECT_EQ(test::ReadFile(p), "short\r\n");  // replaced, not appended
  EXPECT_EQ(ReadTextFile(p), "short\r\n");
  const std::string legacy = dir.write("old.txt", base::Utf8ToCp1251("Привет"));
  EXPECT_EQ(ReadTextFile(legacy), "Привет");
  EXPECT_EQ(ReadTextFile(dir.file("missing.txt")), "");
  EXPECT_EQ(ReadTextFile(dir.path()), "");
  EXPECT_FALSE(SaveTextFile(dir.file("no/such/folder/log.txt"), "x"));
}

}  // namespace
}  // namespace zyl::settings
