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
