#include "ui/WindowTexts.h"

#include <gtest/gtest.h>

#include <QUrl>
#include <map>
#include <set>

#include "base/Paths.h"
#include "base/Strings.h"
#include "search/QueryBuilder.h"
#include "settings/IniFile.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "ui/OptionWindowTexts.h"
#include "ui/PlatformServices.h"
#include "ui/SearchWindowTexts.h"
#include "ui/ServerWindowTexts.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {
namespace {

// Every text a window shows: its table and the texts it asks for by itself.
std::vector<settings::LangText> EveryWindowText() {
  std::vector<std::span<const WindowText>> tables = AllWizardTexts();
  for (auto table :
       {ManagerWindowTexts(), UpdateWindowTexts(), SearchWindowTexts(), QueryWindowTexts(),
        ReportWindowTexts(), ServerWindowTexts(), OptionWindowTexts()})
    tables.push_back(table);
  std::vector<settings::LangText> all;
  for (const auto table : tables)
    for (const WindowText& t : table) all.push_back(t.text);
  all.insert(all.end(),
             {kUpdateStopButton, kUpdateIndexLabel, kWizard1Untitled, kWebWizard1Untitled,
              kCrawlStop, kCrawlClose, kCrawlIndexLabel, kEditSaved, settings::kEditCaption,
              settings::kWizard2Heading, kReportTotal, kReportOpenQuestion});
  all.insert(all.end(), std::begin(kServerMessages), std::end(kServerMessages));
  all.insert(all.end(), std::begin(kOptionMessages), std::end(kOptionMessages));
  for (int b = 0; b < search::kQueryFieldButtons; ++b)
    for (const settings::LangText& t : search::QueryFieldMenu(b)) all.push_back(t);
  for (int i = 0; i < search::kQueryOperators; ++i)
    if (const settings::LangText* tip = search::QueryOperatorToolTip(i)) all.push_back(*tip);
  for (const settings::LangText& t : search::CharacterSetMenu()) all.push_back(t);
  for (const search::CatalogueGroup& g : search::FunctionCatalogue()) all.push_back(g.name);
  return all;
}

std::string WithoutCarriageReturns(std::string_view text) {
  return base::Replace(base::Trim(text), "\r", "");
}

class ShippedWindowTexts : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { settings::Config() = settings::Settings(); }
  test::ProgramFolderScope home_;
};

// A text missing from a language file leaves a control blank in that language; the Russian file
// carries the built-in texts (a list column's lead blank aside).
TEST_P(ShippedWindowTexts, HoldEveryTextOfEveryWindow) {
  const std::string file = home_.file(GetParam());
  const bool russian = std::string_view(GetParam()) == "russian.lng";
  settings::Config().Lang = file;
  for (const settings::LangText& t : EveryWindowText()) {
    const std::string where =
        std::string(settings::LangSectionName(t.section)) + " " + std::to_string(t.key);
    const std::string value = settings::GetProfileValue(settings::LangSectionName(t.section),
                                                        std::to_string(t.key), "\x01", file);
    EXPECT_NE(value, "\x01") << GetParam() << ": " << where;
    EXPECT_FALSE(value.empty()) << GetParam() << ": " << where;
    // The user-defined type's label has two spellings of the same word on one key.
    if (russian && !(t.section == settings::kFileType && t.key == 0)) {
      EXPECT_EQ(WithoutCarriageReturns(settings::GetLangString(t.section, t.key, "")),
                WithoutCarriageReturns(t.text))
          << where;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedWindowTexts,
                         ::testing::Values("russian.lng", "english.lng"));

// A language file holds one text per key: two different texts on one key print the wrong one
// in one of their places. The only shared keys are a label with two spellings of the same word
// (the user-defined type) and caption prefixes without a built-in text.
TEST(WindowTextKeys, NoKeyServesTwoDifferentTexts) {
  std::vector<settings::LangText> all(std::begin(settings::kAllLangTexts),
                                      std::end(settings::kAllLangTexts));
  for (const settings::LangText& t : EveryWindowText()) all.push_back(t);
  std::map<std::pair<int, int>, std::string_view> seen;
  for (const settings::LangText& t : all) {
    if (t.text.empty() || (t.section == settings::kFileType && t.key == 0)) continue;
    const auto [at, fresh] = seen.emplace(std::make_pair(t.section, t.key), t.text);
    EXPECT_TRUE(fresh || at->second == t.text) << settings::LangSectionName(t.section) << " "
                                               << t.key << ": " << at->second << " / " << t.text;
  }
}

TEST(WindowTextsTest, CaptionsFallBackToRussianWithoutALanguageFile) {
  settings::Config() = settings::Settings();
  EXPECT_EQ(CaptionText(ManagerText("open_menu")), "Открыть индекс");
  settings::Config().Lang = "/nonexistent/english.lng";
  EXPECT_EQ(CaptionText(ManagerText("open_menu")), "Открыть индекс");
  settings::Config() = settings::Settings();
}

// Every help context of the windows, and every function of the query builder's catalogue (its
// help button opens "function-" + the lower-cased name), lands on a section of both help pages.
TEST(WindowTextsTest, EveryHelpContextAndFunctionLandsOnASectionOfBothHelpPages) {
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
    int functions = 0;
    for (const search::CatalogueGroup& group : search::FunctionCatalogue()) {
      for (const std::string_view name : group.functions) {
        const std::string anchor =
            "id=\"function-" +
            QString::fromUtf8(name.data(), static_cast<int>(name.size())).toLower().toStdString() +
            "\"";
        EXPECT_NE(html.find(anchor), std::string::npos) << page << " " << anchor;
        ++functions;
      }
    }
    EXPECT_GT(functions, 30);
  }
}

}  // namespace
}  // namespace zyl::ui
