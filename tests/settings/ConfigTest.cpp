#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Paths.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsTable.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

using test::ProgramFolderScope;
using test::ReadFile;

// A program folder with only the files a test writes (the shipped ones removed).
class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& e : std::filesystem::directory_iterator(home_.path())) {
      std::filesystem::remove_all(e.path());
    }
  }
  void TearDown() override { Config() = Settings(); }
  std::string Write(std::string_view name, std::string_view bytes) {
    const std::string p = home_.file(name);
    EXPECT_TRUE(base::WriteFileAtomic(p, bytes));
    return p;
  }
  std::string Home(std::string_view name = "") const {
    return name.empty() ? home_.path() : home_.file(name);
  }
  ProgramFolderScope home_;
};

TEST_F(ConfigTest, MissingFilesGiveTheDefaultsAndAreLeftBehindEmpty) {
  LoadConfig();
  const Settings& s = Config();
  EXPECT_EQ(s.IndexFolder, Home("index") + "/");
  EXPECT_TRUE(base::IsFolder(s.IndexFolder));
  EXPECT_EQ(s.localport, 80);
  EXPECT_EQ(s.Lang, Home("english.lng"));
  EXPECT_EQ(s.Help, Home("help/index.html"));
  EXPECT_EQ(ReadFile(Home("config.ini")), "");
  EXPECT_EQ(ReadFile(Home("server.ini")), "");
  EXPECT_FALSE(base::FileExists(Home("english.lng")));  // looked up, never created
}

TEST_F(ConfigTest, IndexFolderIsResolvedAgainstTheProgramFolder) {
  auto indexFolder = [&](std::string_view value) {
    Write("config.ini", "[General]\r\nIndexFolderName=" + std::string(value));
    LoadConfig();
    return Config().IndexFolder;
  };
  EXPECT_EQ(indexFolder("Indexes"), Home("Indexes") + "/");
  EXPECT_TRUE(base::IsFolder(Home("Indexes")));
  EXPECT_EQ(indexFolder("sub/"), Home("sub") + "/");  // never a doubled "/"
  const std::string absolute = Home("abs/idx/");
  std::filesystem::create_directories(absolute);
  EXPECT_EQ(indexFolder(absolute), absolute);
  EXPECT_EQ(indexFolder(Home("abs/idx")), absolute);  // the trailing "/" is added
  // Created one level deep only; the path is kept when that fails.
  EXPECT_EQ(indexFolder("a/b/c"), Home("a/b/c") + "/");
  EXPECT_FALSE(base::IsFolder(Home("a")));
}

TEST_F(ConfigTest, ValuesAreReadByTheirType) {
  Write("config.ini",
        "[General]\r\nForceCodePage=yes\r\nUseInternalHtmlParser= 1\r\nHtmlOptimization=0\r\n"
        "QueryRecentLenght=7.5\r\n"
        "[Interface]\r\nUseHistory=1\r\n"
        "[Interface:FontsAndColors]\r\nFoundTextColor=255 red\r\nFoundTextBold=1\r\n"
        "SimpleTextFontName= Courier \r\nSimpleTextFontSize=abc\r\nTextCharSet=70000\r\n"
        "SimpleTextColor=-2.5\r\n");
  Write("server.ini", "[General]\r\nLocalPort=abc\r\n");
  LoadConfig();
  const Settings& s = Config();
  EXPECT_FALSE(s.ForceCodePage);          // only "1" is true
  EXPECT_FALSE(s.UseInternalHtmlParser);  // " 1" is not "1"
  EXPECT_FALSE(s.HtmlOptimization);
  EXPECT_TRUE(s.UseHistory);
  EXPECT_EQ(s.QueryRecentLenght, 8);  // rounded
  EXPECT_EQ(s.FoundTextColor, 255);   // the leading number
  EXPECT_TRUE(s.FoundTextBold);
  EXPECT_EQ(s.SimpleTextFontName, " Courier ");
  EXPECT_EQ(s.SimpleTextFontSize, 0);  // text without a number reads as 0
  EXPECT_EQ(s.TextCharSet, 0);         // beyond 16 bits: the default
  EXPECT_EQ(s.SimpleTextColor, -2);    // halves to even
  EXPECT_EQ(s.localport, 0);           // keys match without letter case
}

TEST_F(ConfigTest, ServerPagesUseTheRelativeRuleAndMimeKeepsItsLines) {
  Write("server.ini",
        "[General]\r\nSearchIndexFile=pages/search.html\r\nHtmlTemplate=/srv/t.html\r\n"
        "localport=8080\r\nBindAddress=127.0.0.1\r\nMaxConnections=12\r\n[Mime]\r\n"
        "text/html;htm\r\n\r\napplication/pdf;pdf\r\n");
  LoadConfig();
  EXPECT_EQ(Config().MaxConnections, 12);
  EXPECT_EQ(Config().SearchIndexFile, Home("pages/search.html"));
  EXPECT_EQ(Config().HtmlTemplate, "/srv/t.html");
  EXPECT_EQ(Config().localport, 8080);
  EXPECT_EQ(Config().BindAddress, "127.0.0.1");
  EXPECT_EQ(Config().Mime, (std::vector<std::string>{"text/html;htm", "application/pdf;pdf"}));
  // No cap at all is no choice: zero or nonsense keeps the default.
  Write("server.ini", "[General]\r\nMaxConnections=0\r\n");
  LoadConfig();
  EXPECT_EQ(Config().MaxConnections, 1024);
}

TEST_F(ConfigTest, LanguageFileAndItsHelpFile) {
  Write("config.ini", "[Interface]\r\nLang=de.lng");
  Write("de.lng", "[General]\nHelp=hilfe/index.html\n");
  LoadConfig();
  EXPECT_EQ(Config().Lang, Home("de.lng"));
  EXPECT_EQ(Config().Help, Home("hilfe/index.html"));
  // The language file is always one of the program folder.
  Write("config.ini", "[Interface]\r\nLang=/fr.lng");
  LoadConfig();
  EXPECT_EQ(Config().Lang, Home("fr.lng"));
}

TEST_F(ConfigTest, OwnKeysAndUnusableLimits) {
  Write("config.ini",
        "[Archiver]\r\nArjPath=/usr/bin/arj\r\nMaxUnpackedBytes=0\r\nMaxMembers=50\r\n"
        "[Web]\r\nConnectTimeout=-1\r\nMaxRedirects=0\r\n[Build]\r\nWorkers=-3\r\n"
        "MaxTextBytes=0");
  LoadConfig();
  const Settings& s = Config();
  EXPECT_EQ(s.ArjPath, "/usr/bin/arj");
  EXPECT_EQ(s.MaxUnpackedBytes, Settings().MaxUnpackedBytes);
  EXPECT_EQ(s.MaxMembers, 50);
  EXPECT_EQ(s.ConnectTimeout, 10);
  EXPECT_EQ(s.MaxRedirects, 0);  // no redirects at all is a valid choice
  EXPECT_EQ(s.Workers, 0);
  EXPECT_EQ(s.MaxTextBytes, Settings().MaxTextBytes);  // no text at all is no usable bound

  Write("config.ini", "[Build]\r\nMaxTextBytes=4096");
  LoadConfig();
  EXPECT_EQ(Config().MaxTextBytes, 4096);
}

TEST_F(ConfigTest, RecentListsAreReadWithoutCreatingConfigIni) {
  EXPECT_EQ(LoadGeneralSetting("RecentIndex"), "");
  EXPECT_FALSE(base::FileExists(Home("config.ini")));
  SaveGeneralSetting("RecentIndex", "/a.zyl;/b.zyl");
  EXPECT_EQ(ReadFile(Home("config.ini")), "[General]\r\nRecentIndex=/a.zyl;/b.zyl");
  EXPECT_EQ(LoadGeneralSetting("recentindex"), "/a.zyl;/b.zyl");
  LoadConfig();
  EXPECT_EQ(Config().RecentIndex, "/a.zyl;/b.zyl");
}

TEST(ShippedSettingsTest, DefaultFilesGiveAWorkingSetup) {
  ProgramFolderScope home;
  LoadConfig();
  const Settings& s = Config();
  EXPECT_EQ(s.IndexFolder, home.file("index") + "/");
  EXPECT_EQ(s.localport, 8080);
  EXPECT_EQ(s.SearchIndexFile, home.file("search.html"));
  EXPECT_EQ(s.HtmlTemplate, home.file("template.html"));
  EXPECT_EQ(s.Lang, home.file("russian.lng"));
  EXPECT_EQ(s.Help, home.file("help/index.html"));
  EXPECT_EQ(s.ArjPath, "/usr/bin/arj");
  EXPECT_EQ(s.ArjCmd, "x -y %arc% %filespec%");
  ASSERT_FALSE(s.Mime.empty());
  EXPECT_EQ(s.Mime.front(), "text/html;htm");
  for (const std::string& line : s.Mime) {
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 1) << line;
  }
  // Shipped INI files use CR LF line breaks only.
  for (const char* name : {"config.ini", "server.ini", "russian.lng", "english.lng"}) {
    const std::string bytes = ReadFile(home.file(name));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
      }
    }
  }
  Config() = Settings();
}

class SaveConfigTest : public ::testing::Test {
 protected:
  void TearDown() override { Config() = Settings(); }
  std::string Home(std::string_view name) const { return home_.file(name); }
  test::ProgramFolderScope home_;
};

TEST_F(SaveConfigTest, WritesTheDialogsKeysByItsRulesAndLeavesEverythingElse) {
  ASSERT_TRUE(base::WriteFileAtomic(
      Home("config.ini"),
      "[General]\r\nMyKey=keep\r\nRecentSearch=a;b\r\nForceCodePage=1\r\n[Own]\r\nx=1\r\n"
      "[Build]\r\nWorkers=3"));
  ASSERT_TRUE(base::WriteFileAtomic(Home("server.ini"),
                                    "[General]\r\nlocalport=80\r\n[Mime]\r\n"
                                    "text/html;htm\r\n"));
  LoadConfig();
  Settings s = Config();
  s.ForceCodePage = false;
  s.UseHistory = true;
  s.QueryRecentLenght = 20;
  s.localport = 8080;
  s.FoundTextColor = 255;
  s.SimpleTextFontName = "DejaVu Sans";
  s.ZipPath = "/usr/bin/unzip";
  s.ZipCmd = "%a -o %f -d %d";
  s.Workers = 7;           // not one of the dialog's keys
  s.RecentSearch = "zzz";  // the recent lists belong to their owners
  SaveConfig(s);

  const std::string config = test::ReadFile(Home("config.ini"));
  EXPECT_NE(config.find("MyKey=keep\r\n"), std::string::npos);
  EXPECT_NE(config.find("RecentSearch=a;b\r\n"), std::string::npos);
  EXPECT_NE(config.find("[Own]\r\nx=1\r\n"), std::string::npos);
  EXPECT_NE(config.find("Workers=3"), std::string::npos);
  EXPECT_NE(config.find("ForceCodePage=0\r\n"), std::string::npos);
  EXPECT_NE(config.find("UseHistory=1"), std::string::npos);
  EXPECT_NE(config.find("IndexFolderName=" + Config().IndexFolder), std::string::npos);
  EXPECT_NE(config.find("Lang=english.lng"), std::string::npos);
  EXPECT_EQ(config.find("ShowConsole"), std::string::npos);
  const std::string server = test::ReadFile(Home("server.ini"));
  EXPECT_NE(server.find("LocalPort=8080"), std::string::npos);
  EXPECT_NE(server.find("[Mime]\r\ntext/html;htm"), std::string::npos);

  // The record follows the files for the dialog's keys only.
  EXPECT_EQ(Config().localport, 8080);
  EXPECT_EQ(Config().RecentSearch, "a;b");
  EXPECT_EQ(Config().Workers, 3);
}

// Whatever the dialog writes reads back as the same record.
TEST_F(SaveConfigTest, EverySavedKeyReadsBackUnchanged) {
  LoadConfig();
  Settings s = Config();
  int n = 1;
  for (const SettingKey& k : SettingsTable()) {
    if (k.saveStep == 0) continue;
    std::visit(
        [&](auto m) {
          using Member = std::remove_cvref_t<decltype(s.*m)>;
          if constexpr (std::is_same_v<Member, bool>) {
            s.*m = !(s.*m);
          } else if constexpr (std::is_integral_v<Member>) {
            s.*m = static_cast<Member>(100 + n++);
          } else if constexpr (std::is_same_v<Member, std::string>) {
            if (k.kind == SettingKind::kIndexFolder) {
              s.*m = Home("idx") + "/";
            } else if (k.kind == SettingKind::kLanguage) {
              s.*m = Home("de.lng");
            } else if (k.kind == SettingKind::kPath) {
              s.*m = "/srv/page" + std::to_string(n++) + ".html";
            } else {
              s.*m = "value " + std::to_string(n++);
            }
          }
        },
        k.member);
  }
  SaveConfig(s);
  LoadConfig();
  for (const SettingKey& k : SettingsTable()) {
    if (k.saveStep == 0) continue;
    std::visit([&](auto m) { EXPECT_TRUE(Config().*m == s.*m) << k.key; }, k.member);
  }
}

}  // namespace
}  // namespace zyl::settings
