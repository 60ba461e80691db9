#include "search/Highlight.h"

#include <gtest/gtest.h>

namespace zyl::search {
namespace {

using Ranges = std::vector<TextRange>;

TEST(NormaliseContent, LoneCrBecomesALineBreakAndNulRunsGo) {
  EXPECT_EQ(NormaliseContent("a\rb\r\nc"), "a\r\nb\r\nc");
  EXPECT_EQ(NormaliseContent(std::string("x\0\0\0\0\0y\0z", 9)), std::string("xy\0z", 4));
  EXPECT_EQ(NormaliseContent("a\r\r\nb"), "a\r\n\r\nb");
}

TEST(SearchWords, SkipsEmptyWords) {
  EXPECT_EQ(SearchWords("  a  b "), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(SearchWords("   ").empty());
}

TEST(HiLight, MarksEveryHitWithoutCaseAndHonoursWholeWords) {
  const FoundText text("Отчет и ОТЧЕТЫ: отчет.");
  EXPECT_EQ(HiLightRanges(text, {"отчет"}, false), (Ranges{{0, 5}, {8, 5}, {16, 5}}));
  EXPECT_EQ(HiLightRanges(text, {"отчет"}, true), (Ranges{{0, 5}, {16, 5}}));
  // Digits are word characters too.
  EXPECT_EQ(HiLightRanges(FoundText("a1 a"), {"a"}, true), (Ranges{{3, 1}}));
  // Phrase words are marked one by one, overlapping hits included.
  EXPECT_EQ(HiLightRanges(FoundText("aaa"), {"aa", "a"}, false),
            (Ranges{{0, 2}, {1, 2}, {0, 1}, {1, 1}, {2, 1}}));
}

TEST(SelNext, NearestLaterHitSkipsThePositionOfTheSelection) {
  const FoundText text("b a b a");
  const std::vector<std::string> words{"a", "b"};
  // A freshly loaded text (selection at 0) passes over a hit at position 0.
  EXPECT_EQ(SelNext(text, words, 0, false), (TextRange{2, 1}));
  EXPECT_EQ(SelNext(text, words, 2, false), (TextRange{4, 1}));
  EXPECT_EQ(SelNext(text, words, 6, false), std::nullopt);  // next document
}

TEST(SelNext, FindsHitsFarIntoLongDocuments) {
  std::string long_text(1'500'000, 'x');
  long_text += " needle";
  EXPECT_EQ(SelNext(FoundText(long_text), {"needle"}, 0, false), (TextRange{1'500'001, 6}));
}

TEST(SelPrev, FirstWordInOrderWinsNotTheNearest) {
  const FoundText text("b a _ a b x");
  EXPECT_EQ(SelPrev(text, {"b", "a"}, 10), (TextRange{8, 1}));
  EXPECT_EQ(SelPrev(text, {"a", "b"}, 10), (TextRange{6, 1}));
  // The occurrence must lie within the first selStart + 1 characters.
  EXPECT_EQ(SelPrev(FoundText("xx ab"), {"ab"}, 3), std::nullopt);
  EXPECT_EQ(SelPrev(FoundText("xx ab"), {"ab"}, 4), (TextRange{3, 2}));
}

TEST(DocumentStepping, StaysAtTheEnds) {
  EXPECT_EQ(NextDocumentIndex(2, 3), 3u);
  EXPECT_EQ(NextDocumentIndex(3, 3), 3u);
  EXPECT_EQ(PreviousDocumentIndex(1, 3), 1u);
  EXPECT_EQ(PreviousDocumentIndex(2, 3), 1u);
}

}  // namespace
}  // namespace zyl::search
