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

// Words split at blanks; a quoted stretch stays one word. Each round looks only at the first
// quote pair of the rest of the line, and either quote closes a stretch opened by either.
TEST(CommandLineTest, SplitsAtBlanksAndKeepsQuotedStretchesTogether) {
  const std::pair<const char*, Args> cases[] = {
      {"", {}},
      {"     ", {}},
      {"  action=server  ", {{"action", "server"}}},
      {"action=update index=\"/home/ann/My Docs/a.zyl\" log=/tmp/u.log",
       {{"action", "update"}, {"index", "/home/ann/My Docs/a.zyl"}, {"log", "/tmp/u.log"}}},
      {"x='a b' y=1", {{"x", "a b"}, {"y", "1"}}},
      {"a=1    b=2", {{"a", "1"}, {"b", "2"}}},
      {"action='update'", {{"action", "update"}}},
      {"x='a b\" y=1", {{"x", "a b"}, {"y", "1"}}},
      // The first pair opens inside the first word and closes in the second, so the stretch runs
      // to the blank after that closing quote, cutting the second quoted value.
      {"a=x'y b='c d'", {{"a", "x'y b='c"}, {"", "d"}}},
      {"a=1 b='x y'", {{"a", "1"}, {"b", "x y"}}},
      {"a=\"1 2\" b=\"3 4\"", {{"a", "1 2"}, {"b", "3 4"}}},
      // Unmatched quotes end at the first blank.
      {"a=\"x y", {{"a", "x"}, {"", "y"}}},
      {"\"", {{"", ""}}},
      {"'''", {{"", "'"}}},
  };
  for (const auto& [line, args] : cases) EXPECT_EQ(Parsed(CCommandLine(line)), args) << line;
  EXPECT_EQ(CCommandLine().CountArguments(), 0);
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
