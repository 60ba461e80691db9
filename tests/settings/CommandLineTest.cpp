#include "settings/CommandLine.h"

#include <gtest/gtest.h>

namespace zyl::settings {
namespace {

using Args = std::vector<std::pair<std::string, std::string>>;

Args Parsed(const CCommandLine& c) {
  Args out;
  for (std::int32_t i = 1; i <= c.CountArguments(); ++i) {
    out.emplace_back(c.GetArgumentName(i), c.GetArgumentValue(i));
  }
  return out;
}

TEST(CommandLineTest, EmptyOrBlankCommandLineHasNoArguments) {
  EXPECT_EQ(CCommandLine("").CountArguments(), 0);
  EXPECT_EQ(CCommandLine("     ").CountArguments(), 0);
  EXPECT_EQ(CCommandLine().CountArguments(), 0);
}

TEST(CommandLineTest, SplitsAtBlanksAndKeepsQuotedStretchesTogether) {
  EXPECT_EQ(Parsed(CCommandLine("  action=server  ")), (Args{{"action", "server"}}));
  EXPECT_EQ(
      Parsed(CCommandLine("action=update index=\"/home/ann/My Docs/a.zyl\" log=/tmp/u.log")),
      (Args{{"action", "update"}, {"index", "/home/ann/My Docs/a.zyl"}, {"log", "/tmp/u.log"}}));
  EXPECT_EQ(Parsed(CCommandLine("x='a b' y=1")), (Args{{"x", "a b"}, {"y", "1"}}));
  EXPECT_EQ(Parsed(CCommandLine("a=1    b=2")), (Args{{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(Parsed(CCommandLine("action='update'")), (Args{{"action", "update"}}));
  // Either quote closes a stretch opened by either.
  EXPECT_EQ(Parsed(CCommandLine("x='a b\" y=1")), (Args{{"x", "a b"}, {"y", "1"}}));
}

TEST(CommandLineTest, EachRoundLooksOnlyAtTheFirstQuotePairOfTheRest) {
  // The first pair opens inside the first word and closes in the second word, so the stretch
  // runs to the blank after that closing quote, cutting the second quoted value.
  EXPECT_EQ(Parsed(CCommandLine("a=x'y b='c d'")), (Args{{"a", "x'y b='c"}, {"", "d"}}));
  // A pair after the first blank is looked at afresh in the next round.
  EXPECT_EQ(Parsed(CCommandLine("a=1 b='x y'")), (Args{{"a", "1"}, {"b", "x y"}}));
  EXPECT_EQ(Parsed(CCommandLine("a=\"1 2\" b=\"3 4\"")), (Args{{"a", "1 2"}, {"b", "3 4"}}));
}

TEST(CommandLineTest, UnmatchedQuotesEndAtTheFirstBlank) {
  EXPECT_EQ(Parsed(CCommandLine("a=\"x y")), (Args{{"a", "x"}, {"", "y"}}));
  EXPECT_EQ(Parsed(CCommandLine("\"")), (Args{{"", ""}}));
  EXPECT_EQ(Parsed(CCommandLine("'''")), (Args{{"", "'"}}));
}

TEST(CommandLineTest, SplitArgumentTakesNameUpToTheFirstEqualsAndStripsEndQuotes) {
  auto check = [](std::string_view text, std::string name, std::string value) {
    const auto a = CCommandLine::SplitArgument(text);
    EXPECT_EQ(a.name, name) << text;
    EXPECT_EQ(a.value, value) << text;
  };
  check("a=b=c", "a", "b=c");
  check("\"abc", "", "abc");
  check("abc'", "", "abc");
  check("x=\"v'", "x", "v");     // the two quotes need not match
  check(" =v ", "", "v");        // an empty name
  check("k= 'v' ", "k", " 'v");  // only the ends of the trimmed text count
  check("plain", "", "plain");
}

TEST(CommandLineTest, FindNextQuoteReturnsTheNearerQuote) {
  EXPECT_EQ(CCommandLine::FindNextQuote("ab'c\"d", 1), 3u);
  EXPECT_EQ(CCommandLine::FindNextQuote("ab\"c'd", 1), 3u);
  EXPECT_EQ(CCommandLine::FindNextQuote("ab\"c'd", 4), 5u);
  EXPECT_EQ(CCommandLine::FindNextQuote("abc", 1), 0u);
  // Positions count characters, not bytes.
  EXPECT_EQ(CCommandLine::FindNextQuote("ыы'", 1), 3u);
}

TEST(CommandLineTest, ValuesAreFoundByExactNameOrByNumber) {
  const CCommandLine c("action=SERVER log=x index=1 action=second 7");
  EXPECT_EQ(c.GetArgumentValue("action"), "SERVER");  // the first of two
  EXPECT_EQ(c.GetArgumentValue("ACTION"), "");        // names match exactly
  EXPECT_EQ(c.GetArgumentValue("action "), "");
  EXPECT_EQ(c.GetArgumentNumber("index"), 3);
  EXPECT_EQ(c.GetArgumentNumber("Index"), 0);
  EXPECT_EQ(c.GetArgumentValue(2), "x");
  EXPECT_EQ(c.GetArgumentValue("2"), "x");  // "2" reads as a number
  EXPECT_EQ(c.GetArgumentValue(" 5 "), "7");
  EXPECT_EQ(c.GetArgumentValue("1.6"), "x");  // rounded
  EXPECT_EQ(c.GetArgumentValue("2.5"), "x");  // halves to even
  EXPECT_EQ(c.GetArgumentValue("0"), "");
  EXPECT_EQ(c.GetArgumentValue(6), "");
  EXPECT_EQ(c.GetArgumentValue(-1), "");
  EXPECT_EQ(c.GetArgumentValue("70000"), "");  // beyond a 16-bit number
  EXPECT_EQ(c.GetArgumentValue(65537), "");    // does not wrap round to 1
  EXPECT_EQ(c.GetArgumentName(0), "");
  EXPECT_EQ(c.GetArgumentName(5), "");
  EXPECT_EQ(c.GetArgumentName(4), "action");
}

TEST(CommandLineTest, ArgumentVectorGivesOneArgumentPerWord) {
  const char* argv[] = {"zyl", "action=update", "index=/home/ann/My Docs/a.zyl", "log='x y'",
                        "--help"};
  const CCommandLine c(5, argv);
  EXPECT_EQ(Parsed(c), (Args{{"action", "update"},
                             {"index", "/home/ann/My Docs/a.zyl"},
                             {"log", "x y"},
                             {"", "--help"}}));
  const char* only[] = {"zyl"};
  EXPECT_EQ(CCommandLine(1, only).CountArguments(), 0);
}

}  // namespace
}  // namespace zyl::settings
