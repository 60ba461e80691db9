#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace zyl::base {
namespace {

TEST(Modified, MidnightHasNoTimeAndTheFormParsesBack) {
  EXPECT_EQ(FormatModified(DateTimeParts{2002, 12, 2, 0, 0, 0}), "2002-12-02");
  EXPECT_EQ(FormatModified(DateTimeParts{2002, 12, 2, 10, 20, 30}), "2002-12-02 10:20:30");
  auto p = ParseModified("2002-12-02 10:20:30");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->hour, 10);
  EXPECT_TRUE(ParseModified("2002-12-02"));
  EXPECT_FALSE(ParseModified("2002-13-02"));
  EXPECT_FALSE(ParseModified("12/2/2002"));
}

TEST(UserDate, ReadsTheThreeTypedFormsAndRefusesImpossibleDates) {
  auto d = ParseUserDate("05.01.2002");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->year, 2002);
  EXPECT_EQ(d->month, 1);
  EXPECT_EQ(d->day, 5);
  d = ParseUserDate("5.1.02");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->year, 2002);
  d = ParseUserDate("1/5/75");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->year, 1975);
  EXPECT_EQ(d->day, 5);
  d = ParseUserDate("2002-02-17 13:45");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->hour, 13);
  EXPECT_FALSE(ParseUserDate("31.02.2002"));
  EXPECT_FALSE(ParseUserDate("29.02.2001"));
  EXPECT_TRUE(ParseUserDate("29.02.2000"));
  EXPECT_FALSE(ParseUserDate("yesterday"));
  EXPECT_FALSE(ParseUserDate("1.2"));
  EXPECT_EQ(FormatUserDate({2026, 12, 5, 0, 0, 0}), "05.12.2026");
}

TEST(UserDate, AddDaysCrossesMonthsYearsAndLeapDays) {
  EXPECT_EQ(FormatUserDate(AddDays({2024, 3, 1}, -1)), "29.02.2024");
  EXPECT_EQ(FormatUserDate(AddDays({2026, 1, 1}, -1)), "31.12.2025");
  EXPECT_EQ(FormatUserDate(AddDays({2025, 12, 31}, 1)), "01.01.2026");
  EXPECT_EQ(FormatUserDate(AddDays({2025, 1, 15}, 400)), "19.02.2026");
  EXPECT_EQ(FormatUserDate(AddDays({2025, 1, 15}, -400)), "12.12.2023");
}

// The stored form sorts as the dates do and reads back as it was written, for every day of a
// leap cycle and a range of times.
TEST(Modified, TextOrderIsDateOrderAndEveryDayRoundTrips) {
  DateTimeParts day{1999, 12, 25, 0, 0, 0};
  std::string previous;
  for (int i = 0; i < 4 * 366 + 10; ++i, day = AddDays(day, 1)) {
    DateTimeParts at = day;
    at.hour = 1 + i % 23;  // never midnight: that is the day itself
    at.minute = (i * 7) % 60;
    at.second = (i * 13) % 60;
    for (const DateTimeParts& p : {day, at}) {
      const std::string text = FormatModified(p);
      EXPECT_LT(previous, text);
      previous = text;
      const auto back = ParseModified(text);
      ASSERT_TRUE(back) << text;
      EXPECT_EQ(FormatModified(*back), text);
    }
    EXPECT_EQ(FormatUserDate(AddDays(AddDays(day, 400), -400)), FormatUserDate(day));
    const auto typed = ParseUserDate(FormatUserDate(day));
    ASSERT_TRUE(typed);
    EXPECT_EQ(FormatModified(*typed), FormatModified(day));
  }
}

}  // namespace
}  // namespace zyl::base
