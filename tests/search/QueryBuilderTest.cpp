#include "search/QueryBuilder.h"

#include <gtest/gtest.h>

#include "search/TypePresets.h"
#include "settings/Settings.h"

namespace zyl::search {
namespace {

const base::DateTimeParts kToday{2026, 3, 7, 15, 4, 0};

TEST(QueryBuilder, FieldMenusInsertTheirFragments) {
  EXPECT_EQ(QueryFieldFragment(0, 0, kToday), "Content LIKE \"**\" ");
  // Today as day/month/year without leading zeros.
  EXPECT_EQ(QueryFieldFragment(4, 0, kToday), "Modified>#7/3/2026# ");
  EXPECT_EQ(QueryFieldFragment(4, 2, kToday), "Modified=#7/3/2026# ");
  // The type menu has its own order: entry 5 is Excel, the last the Netscape mailbox.
  ASSERT_EQ(QueryFieldMenu(6).size(), 21u);
  EXPECT_EQ(QueryFieldMenu(6)[4].text, "MS Excel (*.xls)");
  EXPECT_EQ(QueryFieldFragment(6, 4, kToday), "Type=\"xls\" ");
  EXPECT_EQ(QueryFieldFragment(6, 20, kToday), "Type=\"mail_moz\" ");
  EXPECT_EQ(QueryFieldFragment(6, 21, kToday), "");
}

TEST(QueryBuilder, OperatorsAndCharacterSets) {
  EXPECT_EQ(QueryOperatorFragment(6), "AND ");
  EXPECT_EQ(QueryOperatorFragment(kCharacterSetButton), "") << "the button opens a menu";
  EXPECT_EQ(QueryOperatorCaption(10), "[  ]");
  ASSERT_NE(QueryOperatorToolTip(9), nullptr);
  EXPECT_EQ(QueryOperatorToolTip(9)->text, "Похоже");
  EXPECT_EQ(QueryOperatorToolTip(11), nullptr) << "the arithmetic buttons have no tool tip";
  EXPECT_EQ(CharacterSetFragment(0), "[а-я,А-Я] ");
}

TEST(QueryBuilder, CatalogueShowsTheSyntaxOfAFunctionOnly) {
  settings::Config() = settings::Settings();
  EXPECT_EQ(SyntaxOf("a2"), "Format («expr»,«fmt»,«firstweekday»,«firstweek»)");
  EXPECT_EQ(SyntaxOf("a5"), " Left («stringexpr»,«n»)") << "the blank after ';' stays";
  EXPECT_EQ(SyntaxOf("e6"), "Weekday («number»)");
  EXPECT_EQ(SyntaxOf("r1"), "") << "a group shows nothing, so Insert inserts nothing";
  EXPECT_EQ(SyntaxOf("b9"), "");
  EXPECT_NE(SyntaxOf("z").find("Другие функции"), std::string::npos);
  // Keys follow the group letter and the position.
  const auto groups = FunctionCatalogue();
  ASSERT_EQ(groups.size(), 7u);
  EXPECT_EQ(FunctionKey(groups[4], 6), "e6");
  EXPECT_EQ(groups[4].functions[6], "WeekDay");
  EXPECT_EQ(HelpKeywordOf("r3", "Статистические"), "Статистические функции SQL");
  EXPECT_EQ(HelpKeywordOf("b0", "Abs"), "Abs - функция");
}

TEST(QueryBuilder, HandOverJoinsLinesWithOneBlank) {
  EXPECT_EQ(HandOverText("Type=\"doc\"\r\nAND\nFilesize>0\r"), "Type=\"doc\" AND Filesize>0 ");
  EXPECT_EQ(HandOverText("a\n\nb"), "a  b");
}

TEST(TypePresets, WholeListPresetsAndAddingGroups) {
  std::array<bool, kTypePositions> c{};
  c[0] = true;  // txt
  ApplyTypePreset(c, TypePreset::Office);
  EXPECT_TRUE(c[0]) << "a group adds checks and clears none";
  EXPECT_TRUE(c[3] && c[4] && c[15] && c[16]);  // doc, xls, dot, xlt
  EXPECT_FALSE(c[17]);                          // excel2 stays off
  ApplyTypePreset(c, TypePreset::Mailboxes);
  EXPECT_TRUE(c[19] && c[20]);
  ApplyTypePreset(c, TypePreset::Invert);
  EXPECT_FALSE(c[0]);
  EXPECT_TRUE(c[1]);
  ApplyTypePreset(c, TypePreset::SelectAll);
  EXPECT_EQ(std::count(c.begin(), c.end(), true), kTypePositions);
  ApplyTypePreset(c, TypePreset::SelectNone);
  EXPECT_EQ(std::count(c.begin(), c.end(), true), 0);
}

}  // namespace
}  // namespace zyl::search
