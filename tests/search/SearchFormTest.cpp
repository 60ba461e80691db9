#include "search/SearchForm.h"

#include <gtest/gtest.h>

namespace zyl::search {
namespace {

const base::DateTimeParts kNow{2026, 3, 1, 15, 30, 0};

TEST(SearchForm, NotEarlierCountsBackFromMidnight) {
  SearchForm f;
  f.notEarlier = true;
  f.notEarlierCount = "1";
  f.dateUnit = kHours;
  EXPECT_EQ(RequestFromForm(f, kNow).DateFrom, "28.02.2026");  // yesterday
  f.dateUnit = kMinutes;
  f.notEarlierCount = "0";
  EXPECT_EQ(RequestFromForm(f, kNow).DateFrom, "01.03.2026");
  f.dateUnit = kWeeks;
  f.notEarlierCount = "2";
  EXPECT_EQ(RequestFromForm(f, kNow).DateFrom, "15.02.2026");
  f.dateUnit = kMonths;
  f.notEarlierCount = "1";
  EXPECT_EQ(RequestFromForm(f, {2026, 3, 31, 9, 0, 0}).DateFrom, "28.02.2026");
  f.dateUnit = kYears;
  EXPECT_EQ(RequestFromForm(f, kNow).DateFrom, "01.03.2025");
  // It replaces the from-date of "date between"; the to-date stays.
  f.dateBetween = true;
  f.dateFrom = "01.01.2000";
  f.dateTo = "02.02.2002";
  const SearchRequest r = RequestFromForm(f, kNow);
  EXPECT_EQ(r.DateFrom, "01.03.2025");
  EXPECT_EQ(r.DateTo, "02.02.2002");
}

TEST(SearchForm, SizeUnitsApplyOnlyWithTheCondition) {
  SearchForm f;
  f.sizeByCondition = true;
  f.sizeRelation = kEqual;
  f.sizeValue = "5";
  SearchRequest r = RequestFromForm(f, kNow);
  EXPECT_EQ(r.SizeMin, "5000");
  EXPECT_EQ(r.SizeMax, "5000");
  f.sizeBetween = true;
  f.sizeFrom = "100";
  f.sizeTo = "200";
  f.sizeRelation = kGreater;
  f.sizeValue = "1";
  r = RequestFromForm(f, kNow);
  EXPECT_EQ(r.SizeMin, "1000");
  EXPECT_EQ(r.SizeMax, "200000");
  f.sizeByCondition = false;
  r = RequestFromForm(f, kNow);
  EXPECT_EQ(r.SizeMin, "100");
  EXPECT_EQ(r.SizeMax, "200");
}

TEST(SearchForm, SearchBoxAndFields) {
  EXPECT_EQ(CleanSearchBox("\"a'b\"", kAnyWord), "ab");
  EXPECT_EQ(CleanSearchBox("Author = \"x\"", kQueryLanguage), "Author = \"x\"");
  SearchForm f;
  f.searchText = "  word  ";
  f.fileName = "docs";
  f.dateFrom = "01.01.2000";  // ignored without "date between"
  const SearchRequest r = RequestFromForm(f, kNow);
  EXPECT_EQ(r.Content, "word");
  EXPECT_EQ(r.Location, "docs");
  EXPECT_EQ(r.DateFrom, "");
}

}  // namespace
}  // namespace zyl::search
