#include "settings/OptionEntries.h"

#include <gtest/gtest.h>

#include "base/ProgramFolder.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

TEST(OptionEntriesTest, OnlyWholeNumbersAreTakenFromTheBoxes) {
  EXPECT_EQ(WholeNumber("80"), 80);
  EXPECT_EQ(WholeNumber(" 8080 "), 8080);
  EXPECT_EQ(WholeNumber("+7"), 7);
  EXPECT_EQ(WholeNumber("-1"), -1);
  for (const char* text : {"80a", "", " ", "1.5", "0x50", "99999999999", "8 0", "+"}) {
    EXPECT_EQ(WholeNumber(text), std::nullopt) << text;
  }
}

TEST(OptionEntriesTest, ConfirmedEntriesFollowTheDialogsRules) {
  test::ProgramFolderScope home;
  Settings current;
  current.localport = 8080;
  current.QueryRecentLenght = 15;
  current.TextCharSet = 204;
  current.Lang = home.file("russian.lng");
  OptionEntries e = EntriesFromSettings(current);
  e.port = "0";  // no port to listen on
  e.listLength = "-3";
  e.indexFolder = "/data/idx";
  e.language = "";
  Settings s = ApplyEntries(current, e);
  EXPECT_EQ(s.localport, 8080);
  EXPECT_EQ(s.QueryRecentLenght, 15);
  EXPECT_EQ(s.IndexFolder, "/data/idx/");
  EXPECT_EQ(s.TextCharSet, 204);
  EXPECT_EQ(s.Lang, "");  // SaveConfig then leaves the stored language alone

  e.port = "65535";
  e.listLength = "0";
  e.indexFolder = "";
  e.htmlTemplate = "my.html";
  e.language = "english.lng";
  e.archiverPaths[5] = "/usr/bin/unzip";
  s = ApplyEntries(current, e);
  EXPECT_EQ(s.localport, 65535);
  EXPECT_EQ(s.QueryRecentLenght, 0);
  EXPECT_EQ(s.IndexFolder, base::ProgramFolder() + "/");
  EXPECT_EQ(s.HtmlTemplate, home.file("my.html"));
  EXPECT_EQ(s.Lang, home.file("english.lng"));
  EXPECT_EQ(s.ZipPath, "/usr/bin/unzip");
  EXPECT_EQ(EntriesFromSettings(s).archiverPaths[5], "/usr/bin/unzip");
}

TEST(OptionEntriesTest, LanguageFilesAreTheProgramFoldersLngFilesByName) {
  test::TempDir dir;
  dir.write("russian.lng", "");
  dir.write("Deutsch.LNG", "");
  dir.write("english.lng", "");
  dir.write("notes.txt", "");
  dir.write("sub.lng/inner.lng", "");
  dir.write(".lng", "");
  EXPECT_EQ(LanguageFiles(dir.path()),
            (std::vector<std::string>{"Deutsch.LNG", "english.lng", "russian.lng"}));
  EXPECT_TRUE(LanguageFiles(dir.file("missing")).empty());
  EXPECT_EQ(FileNamePart("/a/b/english.lng"), "english.lng");
  EXPECT_EQ(FileNamePart("english.lng"), "english.lng");
}

// A row that shares a key or a setting with another would show or save the other's program.
TEST(OptionEntriesTest, EachArchiverRowHasItsOwnKeyAndSettings) {
  const auto rows = ArchiverRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_NE(rows[i].path, rows[i].command) << rows[i].key;
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      EXPECT_NE(rows[i].key, rows[j].key);
      EXPECT_NE(rows[i].label, rows[j].label);
      for (auto a : {rows[i].path, rows[i].command})
        for (auto b : {rows[j].path, rows[j].command})
          EXPECT_NE(a, b) << rows[i].key << rows[j].key;
    }
  }
}

}  // namespace
}  // namespace zyl::settings
