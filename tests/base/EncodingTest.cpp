#include <gtest/gtest.h>

#include "base/Cp1251.h"
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
  EXPECT_EQ(CodePointCount("a\xFF"
                           "b"),
            3u);
}

}  // namespace
}  // namespace zyl::base
