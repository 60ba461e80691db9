#include "base/Strings.h"

#include <gtest/gtest.h>

namespace zyl::base {
namespace {

using Pieces = std::vector<std::string>;

TEST(Split, KeepsEmptyPiecesAndGivesNothingForEmptyText) {
  EXPECT_EQ(Split("a;;b", ";"), (Pieces{"a", "", "b"}));
  EXPECT_EQ(Split("a;", ";"), (Pieces{"a", ""}));
  EXPECT_EQ(Split(";", ";"), (Pieces{"", ""}));
  EXPECT_EQ(Split("a  b", " "), (Pieces{"a", "", "b"}));
  EXPECT_TRUE(Split("", ";").empty());
  EXPECT_EQ(Split("abc", ";"), (Pieces{"abc"}));
  EXPECT_EQ(Split("x\r\ny\r\n", "\r\n"), (Pieces{"x", "y", ""}));
}

TEST(Replace, OnePassLeftToRight) {
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace("\r\n\r\n\r\n", "\r\n\r\n", "\r\n"), "\r\n\r\n");
  EXPECT_EQ(Replace("a.b.c", ".", ".."), "a..b..c");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("        ", "    ", " "), "  ");
}

TEST(Trim, RemovesBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(LTrim("  x "), "x ");
  EXPECT_EQ(RTrim("  x "), "  x");
  EXPECT_EQ(Trim("   "), "");
}

TEST(CodePoints, LeftMidRightLenCountCharactersNotBytes) {
  const std::string ru = "Привет мир";
  EXPECT_EQ(Len(ru), 10u);
  EXPECT_EQ(Left(ru, 3), "При");
  EXPECT_EQ(Right(ru, 3), "мир");
  EXPECT_EQ(Mid(ru, 8), "мир");
  EXPECT_EQ(Mid(ru, 2, 3), "рив");
  EXPECT_EQ(Mid(ru, 20, 3), "");
  EXPECT_EQ(Left(ru, 50), ru);
  EXPECT_EQ(InStr(ru, "мир"), 8u);
  EXPECT_EQ(InStr(9, ru, "мир"), 0u);
  EXPECT_EQ(InStr(ru, "нет"), 0u);
  EXPECT_EQ(InStrRev("a/b/c", "/"), 4u);
}

TEST(CaseFolding, CyrillicAndLatinCompareWithoutCase) {
  EXPECT_TRUE(EqualsNoCase("ОТЧЕТ", "отчет"));
  EXPECT_TRUE(EqualsNoCase("General", "GENERAL"));
  EXPECT_FALSE(EqualsNoCase("отчет", "отчеты"));
  EXPECT_EQ(UCase("ёлка Tree"), "ЁЛКА TREE");
  EXPECT_EQ(LCase("ЁЛКА Tree"), "ёлка tree");
  EXPECT_EQ(FindNoCase("Большой ОТЧЕТ за год", "отчет"), std::string("Большой ").size());
  EXPECT_EQ(FindNoCase("abc", "x"), std::string::npos);
  EXPECT_EQ(FindAsciiNoCase("<html><BODY>", "<body"), 6u);
  EXPECT_EQ(FindAsciiNoCase("<body", "<body", 1), std::string::npos);
}

// The LIKE matcher learns which code points fold to a letter from FoldingChanges, which looks
// only at the code points the case data calls case-sensitive: it must find exactly what folding
// every code point one by one finds (the Kelvin sign, the long s, Cherokee, Deseret...).
TEST(CaseFolding, FoldingChangesAreThoseOfEveryCodePoint) {
  std::vector<std::pair<char32_t, char32_t>> all;
  for (char32_t c = 0; c < 0x20000; ++c)
    if (FoldCodePoint(c) != c) all.emplace_back(c, FoldCodePoint(c));
  EXPECT_EQ(FoldingChanges(0x20000), all);
  EXPECT_GT(all.size(), 1000u);
  const auto low = FoldingChanges(0x80);
  ASSERT_EQ(low.size(), 26u);
  EXPECT_EQ(low.front(), std::make_pair(U'A', U'a'));
}

TEST(Val, TakesTheLeadingNumber) {
  EXPECT_EQ(Val("8080"), 8080);
  EXPECT_EQ(Val(" 12abc"), 12);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("-3.5x"), -3.5);
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(ValInt("2.5"), 2);
  EXPECT_EQ(ValInt("3.5"), 4);
  EXPECT_EQ(ValInt("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(StrNum(5), " 5");
  EXPECT_EQ(StrNum(-5), "-5");
}

}  // namespace
}  // namespace zyl::base
