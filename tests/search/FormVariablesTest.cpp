#include "search/FormVariables.h"

#include <gtest/gtest.h>

namespace zyl::search {
namespace {

TEST(FillFormFromVariables, OptionsAreOnlySwitchedOnAndBoxesOverwritten) {
  SearchForm form;
  FillFormFromVariables({{"content", "x"},
                         {"DATEFROM", "01.01.2002"},
                         {"sizemax", "10"},
                         {"type4", "1"},
                         {"type5", "01"},
                         {"type4", "0"}},  // the first pair of a name counts
                        form);
  EXPECT_EQ(form.searchText, "x");
  EXPECT_TRUE(form.dateBetween);
  EXPECT_EQ(form.dateFrom, "01.01.2002");
  EXPECT_TRUE(form.sizeBetween);
  EXPECT_TRUE(form.types[3]);
  EXPECT_FALSE(form.types[4]);
  FillFormFromVariables({{"content", "y"}, {"SearchType", "9"}, {"wholeword", "1"}}, form);
  EXPECT_EQ(form.searchText, "y");
  EXPECT_EQ(form.dateFrom, "");
  EXPECT_TRUE(form.dateBetween);  // still on
  EXPECT_FALSE(form.types[3]);
  EXPECT_EQ(form.searchType, 0);  // 9 is no type of the list: the one in force stays
  EXPECT_TRUE(form.wholeWord);
  FillFormFromVariables({{"SearchType", "2"}}, form);
  EXPECT_EQ(form.searchType, 2);
}

}  // namespace
}  // namespace zyl::search
