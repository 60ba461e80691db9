#include "settings/WindowLayout.h"

#include <gtest/gtest.h>

#include "settings/IniFile.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(WindowLayoutTest, StoredKeysAreFoundInAnyLetterCaseAndOddValuesFallBack) {
  TempDir dir;
  const std::string ini = dir.write(
      "config.ini",
      "[mainwindow]\r\nwidth=9000\r\nHEIGHT=abc\r\nTop=99999999999\r\nColumnMaxWidth3=2500\r\n"
      "[Interface]\r\nfrmSearchWidth=9100\r\n[SearchWindow]\r\nColumnNormalWidth7=777");
  const WindowLayout main = LoadMainWindowLayout(ini);
  EXPECT_EQ(main.Width, 9000);
  EXPECT_EQ(main.Height, 0);  // a text without a number reads as 0, as every number key does
  EXPECT_EQ(main.Top, 2100);  // out of range: the default, not a wrapped value
  EXPECT_EQ(main.ColumnMaxWidth[2], 2500);
  EXPECT_EQ(main.ColumnNormalWidth[2], 1000);
  const WindowLayout search = LoadSearchWindowLayout(ini);
  EXPECT_EQ(search.Width, 9100);
  EXPECT_EQ(search.ColumnNormalWidth[6], 777);
}

TEST(WindowLayoutTest, TheManagerKeepsNormalAndMaximisedWidthsApart) {
  TempDir dir;
  const std::string ini = dir.write("config.ini", "[General]\r\nRecentIndex=a.zyl;");
  WindowLayout normal = LoadMainWindowLayout(ini);
  normal.Width = 9300;
  normal.ListHeight = 1700;
  normal.ColumnNormalWidth = {1, 2, 3, 4, 5, 6};
  SaveMainWindowLayout(normal, ini);

  WindowLayout max = LoadMainWindowLayout(ini);
  max.WindowState = kWindowMaximized;
  max.Width = 20000;  // the maximised size is never stored
  max.ListHeight = 5000;
  max.ColumnMaxWidth = {11, 12, 13, 14, 15, 16};
  SaveMainWindowLayout(max, ini);

  const WindowLayout back = LoadMainWindowLayout(ini);
  EXPECT_EQ(back.WindowState, kWindowMaximized);
  EXPECT_EQ(back.Width, 9300);
  EXPECT_EQ(back.ListHeight, 1700);
  EXPECT_EQ(back.ColumnNormalWidth, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(back.ColumnMaxWidth, (std::vector<std::int32_t>{11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(back.ColumnWidths(), back.ColumnMaxWidth);
  // Maximising and coming back: each state gets back the widths it was left with.
  WindowLayout moving = back;
  EXPECT_EQ(moving.SwitchColumnWidths(kWindowNormal, kWindowMaximized, {7, 7, 7, 7, 7, 7}),
            back.ColumnMaxWidth);
  EXPECT_EQ(moving.SwitchColumnWidths(kWindowMaximized, kWindowNormal, {9, 9, 9, 9, 9, 9}),
            (std::vector<std::int32_t>{7, 7, 7, 7, 7, 7}));
  EXPECT_EQ(moving.ColumnMaxWidth, (std::vector<std::int32_t>{9, 9, 9, 9, 9, 9}));
  // Other sections stay, numbers are plain decimal text.
  const std::string text = ReadFile(ini);
  EXPECT_NE(text.find("RecentIndex=a.zyl;"), std::string::npos);
  EXPECT_NE(text.find("\r\nWidth=9300\r\n"), std::string::npos);
}

TEST(WindowLayoutTest, TheSearchWindowStoresOnlyItsListAndStateWhenMinimised) {
  TempDir dir;
  const std::string ini = dir.write("config.ini", "");
  WindowLayout l = LoadSearchWindowLayout(ini);
  l.WindowState = kWindowMinimized;
  l.ListHeight = 3000;
  l.Width = 1;
  SaveSearchWindowLayout(l, ini);
  EXPECT_EQ(ReadFile(ini), "[Interface]\r\nfrmSearchListHeight=3000\r\nfrmSearchWindowState=1");
  l.WindowState = kWindowNormal;
  l.Width = 8400;
  SaveSearchWindowLayout(l, ini);
  EXPECT_EQ(ReadIniValue("Interface", "frmSearchWidth", "", ini), "8400");
  EXPECT_EQ(ReadIniValue("SearchWindow", "ColumnNormalWidth7", "", ini), "1000");
  EXPECT_EQ(ReadIniValue("SearchWindow", "ColumnMaxWidth1", "", ini), "");
}

}  // namespace
}  // namespace zyl::settings
