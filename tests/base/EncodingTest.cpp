#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "base/DateTime.h"
#include "base/Utf8.h"

namespace zyl::base {
namespace {

TEST(Cp1251, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
  EXPECT_EQ(Cp1251ToUtf8("\xA8\xB8"), "Ёё");
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
}

TEST(DecodeLegacyText, KeepsUtf8AndReadsTheRestAsWindows1251) {
  EXPECT_EQ(DecodeLegacyText("Привет"), "Привет");
  EXPECT_EQ(DecodeLegacyText("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
  EXPECT_EQ(DecodeLegacyText("plain"), "plain");
  // A truncated UTF-8 sequence is not UTF-8.
  EXPECT_EQ(DecodeLegacyText("\xD0"), "Р");
}

TEST(Utf8, ValidationRejectsOverlongsAndSurrogates) {
  EXPECT_TRUE(IsValidUtf8("ascii"));
  EXPECT_FALSE(LooksLikeUtf8("ascii"));
  EXPECT_TRUE(LooksLikeUtf8("я"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
  EXPECT_EQ(CodePointCount("a\xFF" "b"), 3u);
}

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

}  // namespace
}  // namespace zyl::base

namespace zyl::base {
namespace {

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

}  // namespace
}  // namespace zyl::base
