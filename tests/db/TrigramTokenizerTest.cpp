#include "db/TrigramTokenizer.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "db/SubstringIndex.h"

namespace zyl::db {
namespace {

std::vector<std::string> Tokens(std::string_view text, bool document) {
  std::vector<std::string> out;
  SplitTrigrams(text, document, [&](std::size_t start, std::size_t end) {
    EXPECT_LT(start, end);
    EXPECT_LE(end, text.size());
    EXPECT_LE(end - start, 12u);
    out.emplace_back(text.substr(start, end - start));
    return true;
  });
  return out;
}

TEST(TrigramTokenizerTest, QueriesAreReadAsEveryWindowAndDocumentsAsTheirTrigramsInTurn) {
  EXPECT_EQ(Tokens("ёлка", false), (std::vector<std::string>{"ёлк", "лка"}));
  EXPECT_EQ(Tokens("abc", false), (std::vector<std::string>{"abc"}));
  EXPECT_TRUE(Tokens("ab", false).empty());
  EXPECT_TRUE(Tokens("", true).empty());
  // Each distinct trigram once, in the order it first occurs.
  EXPECT_EQ(DistinctTrigrams("abcabcab"), "\3abc\3bca\3cab");
  EXPECT_EQ(Tokens(DistinctTrigrams("abcabcab"), true),
            (std::vector<std::string>{"abc", "bca", "cab"}));
  EXPECT_EQ(Tokens(DistinctTrigrams("ёлка"), true), (std::vector<std::string>{"ёлк", "лка"}));
  // A document text whose end is not a whole trigram gives no token for that end.
  EXPECT_EQ(Tokens("\3abc\5de", true), (std::vector<std::string>{"abc"}));
  EXPECT_TRUE(Tokens(std::string("\0abc", 4), true).empty());
  EXPECT_EQ(SubstringIndexText("ПЕСсимизм"), DistinctTrigrams("пессимизм"));
}

// What a row's entry holds is exactly the set of windows of its folded content, whatever the
// bytes (the content of a damaged or hostile file too): so the entry that a deletion removes is
// the one that was written, and every trigram a search asks for is found where it occurs.
TEST(TrigramTokenizerTest, AnEntryHoldsExactlyTheWindowsOfItsTextForAnyBytes) {
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"a",        "Б",    "ё",    "\xF0\x9F\x98\x80",
                                           "\x80",     "\xC0", "\xFF", std::string(1, '\0'),
                                           "\xE2\x82", " ",    "zz"};
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1), length(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (std::size_t n = length(rng); n > 0; --n) text += pieces[pick(rng)];
    const std::vector<std::string> windows = Tokens(text, false);
    const std::vector<std::string> entry = Tokens(DistinctTrigrams(text), true);
    EXPECT_EQ(std::set<std::string>(entry.begin(), entry.end()),
              std::set<std::string>(windows.begin(), windows.end()))
        << round;
    EXPECT_EQ(std::set<std::string>(entry.begin(), entry.end()).size(), entry.size());
  }
}

}  // namespace
}  // namespace zyl::db
