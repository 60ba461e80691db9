// Every caption of the search window, the query builder and the report dialog is in both
// shipped language files, and the Russian file holds the built-in texts.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "search/QueryBuilder.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "ui/SearchWindowTexts.h"

namespace zyl::test {
namespace {

std::vector<settings::LangText> AllTexts() {
  std::vector<settings::LangText> all;
  for (const auto table :
       {ui::SearchWindowTexts(), ui::QueryWindowTexts(), ui::ReportWindowTexts()}) {
    for (const ui::WindowText& t : table) all.push_back(t.text);
  }
  for (int b = 0; b < search::kQueryFieldButtons; ++b) {
    for (const settings::LangText& t : search::QueryFieldMenu(b)) all.push_back(t);
  }
  for (int i = 0; i < search::kQueryOperators; ++i) {
    if (const settings::LangText* tip = search::QueryOperatorToolTip(i)) all.push_back(*tip);
  }
  for (const settings::LangText& t : search::CharacterSetMenu()) all.push_back(t);
  for (const search::CatalogueGroup& g : search::FunctionCatalogue()) all.push_back(g.name);
  all.push_back(ui::kReportTotal);
  all.push_back(ui::kReportOpenQuestion);
  return all;
}

class SearchWindowTextsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { settings::Config() = settings::Settings(); }
  ProgramFolderScope home_;
};

TEST_P(SearchWindowTextsTest, EveryCaptionIsInTheFile) {
  const std::string file = home_.file(GetParam());
  const bool russian = std::string_view(GetParam()) == "russian.lng";
  constexpr std::string_view kMissing = "\x01missing";
  for (const settings::LangText& t : AllTexts()) {
    const std::string where =
        std::string(settings::LangSectionName(t.section)) + " " + std::to_string(t.key);
    const std::string value = settings::GetProfileValue(settings::LangSectionName(t.section),
                                                        std::to_string(t.key), kMissing, file);
    EXPECT_NE(value, kMissing) << GetParam() << ": " << where;
    EXPECT_FALSE(value.empty()) << GetParam() << ": " << where;
    if (russian) EXPECT_EQ(value, t.text) << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, SearchWindowTextsTest,
                         ::testing::Values("russian.lng", "english.lng"));

TEST(SearchWindowTextsKeys, NoKeyOfASectionServesTwoDifferentTexts) {
  std::map<std::pair<int, int>, std::string_view> seen;
  for (const settings::LangText& t : AllTexts()) {
    const auto [it, fresh] = seen.emplace(std::make_pair(t.section, t.key), t.text);
    EXPECT_TRUE(fresh || it->second == t.text) << t.section << " " << t.key;
  }
}

}  // namespace
}  // namespace zyl::test
