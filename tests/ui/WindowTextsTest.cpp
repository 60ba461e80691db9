#include "ui/WindowTexts.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <map>
#include <set>

#include "base/Paths.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "ui/PlatformServices.h"

namespace zyl::ui {
namespace {

std::vector<WindowText> AllTexts() {
  std::vector<WindowText> all;
  for (auto table : {ManagerWindowTexts(), UpdateWindowTexts()}) {
    all.insert(all.end(), table.begin(), table.end());
  }
  return all;
}

TEST(WindowTextsTest, BothLanguageFilesHoldEveryCaptionOfTheWindows) {
  test::ProgramFolderScope home;
  for (const char* file : {"russian.lng", "english.lng"}) {
    for (const WindowText& t : AllTexts()) {
      const std::string value =
          settings::GetProfileValue(settings::LangSectionName(t.text.section),
                                    std::to_string(t.text.key), "\x01", home.file(file));
      EXPECT_NE(value, "\x01") << file << " [" << settings::LangSectionName(t.text.section) << "] "
                               << t.text.key;
      EXPECT_FALSE(value.empty()) << file << " " << t.text.key;
    }
  }
  // The Russian file carries the built-in texts.
  settings::Config().Lang = home.file("russian.lng");
  for (const WindowText& t : AllTexts()) EXPECT_EQ(CaptionText(t.text), t.text.text);
  settings::Config() = settings::Settings();
}

TEST(WindowTextsTest, KeysAreNotSharedWithOtherTexts) {
  std::set<std::pair<int, int>> seen;
  for (const settings::LangText& t : settings::kAllLangTexts) seen.insert({t.section, t.key});
  std::set<std::pair<int, int>> own;
  for (const WindowText& t : AllTexts()) {
    const std::pair<int, int> where{t.text.section, t.text.key};
    EXPECT_TRUE(own.insert(where).second) << t.objectName;
    // The update window's caption is shared on purpose: it is the same text.
    if (t.objectName != "frmUpdate") EXPECT_FALSE(seen.count(where)) << t.objectName;
  }
}

TEST(WindowTextsTest, CaptionsFallBackToRussianWithoutALanguageFile) {
  settings::Config() = settings::Settings();
  EXPECT_EQ(CaptionText(ManagerText("open_menu")), "Открыть индекс");
  settings::Config().Lang = "/nonexistent/english.lng";
  EXPECT_EQ(CaptionText(ManagerText("open_menu")), "Открыть индекс");
  settings::Config() = settings::Settings();
}

TEST(WindowTextsTest, EveryHelpContextLandsOnASectionOfBothHelpPages) {
  test::ProgramFolderScope home;
  for (const char* page : {"help/index.html", "help/index-en.html"}) {
    const std::string html = test::ReadFile(home.file(page));
    EXPECT_NE(html.find("id=\"contents\""), std::string::npos) << page;
    for (const int context :
         {kHelpSearchWindow, kHelpQueryBuilder, kHelpServerWindow, kHelpOptionsDialog}) {
      const QUrl url = HelpUrl(home.file(page), context);
      EXPECT_EQ(url.toLocalFile().toStdString(), home.file(page));
      const std::string anchor = "id=\"" + url.fragment().toStdString() + "\"";
      EXPECT_NE(html.find(anchor), std::string::npos) << page << " " << anchor;
    }
    EXPECT_FALSE(HelpUrl(home.file(page), kHelpContents).hasFragment());
  }
  EXPECT_EQ(GetDriveList(), "/");
}

}  // namespace
}  // namespace zyl::ui
