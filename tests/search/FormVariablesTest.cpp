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
  EXPECT_TRUE(form.wholeWord);
  // A type the list does not have keeps the one in force: an out-of-range number must not turn
  // the words into a query-language condition.
  FillFormFromVariables({{"SearchType", "2"}}, form);
  for (const char* value : {"4", "9", "-1", "99999999999", "3.5e9"}) {
    FillFormFromVariables({{"SearchType", value}}, form);
    EXPECT_EQ(form.searchType, 2) << value;
  }
  FillFormFromVariables({{"SearchType", "3"}}, form);
  EXPECT_EQ(form.searchType, 3);
}

// A request carries the boxes, the search type, whole word and the document types under its own
// names; what it carries fills another form back, and the fields it does not carry stay.
TEST(FillFormFromVariables, RequestNamesFillBackWhatTheyCarry) {
  SearchForm f;
  f.searchText = "w";
  f.searchType = kAllWords;
  f.wholeWord = true;
  f.author = "a";
  f.title = "t";
  f.fileName = "f";
  f.dateTo = "02.02.2002";
  f.sizeFrom = "1";
  f.types[20] = true;
  f.notEarlierCount = "9";
  const FormVariables vars = VariablesFromForm(f, FormNames::kRequest);
  EXPECT_EQ(FormVariable(vars, "location"), "f");
  EXPECT_EQ(FormVariable(vars, "sizemin"), "1");
  EXPECT_EQ(FormVariable(vars, "type21"), "1");
  EXPECT_EQ(FormVariable(vars, "DatePoint"), "");

  SearchForm back;
  back.notEarlierCount = "kept";
  FillFormFromVariables(vars, back);
  EXPECT_EQ(back.notEarlierCount, "kept");
  back.notEarlierCount = f.notEarlierCount;
  // The ranges holding a box are switched on by it.
  f.dateBetween = f.sizeBetween = true;
  EXPECT_EQ(back, f);
}

}  // namespace
}  // namespace zyl::search
