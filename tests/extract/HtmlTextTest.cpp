#include "extract/html/HtmlText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zyl::extract {
namespace {

// The removal loop as a page author would describe it: find a tag, erase it from the string,
// search again from the same place. Quadratic, so only for modest inputs; the one-pass code
// must agree with it.
std::string StripTagsByErasing(std::string text) {
  std::size_t p = text.find('<');
  while (p != std::string::npos) {
    const std::size_t e = text.find('>', p + 1);
    if (e == std::string::npos) break;
    text.erase(p, e - p + 1);
    p = text.find('<', p);
  }
  return text;
}

// A page of words, tags with attributes, comments, scripts and stray ">" signs.
std::string RandomPage(std::mt19937& rng, std::size_t size, bool ltInsideTags) {
  static const char* kPieces[] = {"слово ",        "word ",
                                  "<p>",           "</p>",
                                  "<br>",          "<a href=\"x.htm\">",
                                  "</a>",          " > ",
                                  "<!-- note -->", "<SCRIPT>var a = 1;</script>",
                                  "<td class=c>",  "&nbsp;",
                                  "\r\n",          "<b>",
                                  "</b>",          "<style>p { color: red }</style>"};
  std::string s;
  while (s.size() < size) {
    s += kPieces[rng() % std::size(kPieces)];
    if (ltInsideTags && rng() % 7 == 0)
      s += rng() % 2 ? "<img alt=\"a<b\">" : "<script>1 < 2</script>";
  }
  s.resize(size);
  return s;
}

TEST(StripCommentsAndScripts, RemovesCommentsThenScriptsInAnyCase) {
  EXPECT_EQ(StripCommentsAndScripts("a<!-- x -->b<!---->c<!-->d"), "abcd");
  EXPECT_EQ(StripCommentsAndScripts("a<SCRIPT type=x>if (a<b) f();</Script>b"), "ab");
  EXPECT_EQ(StripCommentsAndScripts("a<script>1</script>b<script>2</SCRIPT>c"), "abc");
  // A comment inside a script goes first, and may take the script's end with it.
  EXPECT_EQ(StripCommentsAndScripts("a<script><!-- x --></script>b"), "ab");
  EXPECT_EQ(StripCommentsAndScripts("a<script><!-- </script> -->x</script>b"), "ab");
  // A removed comment never joins its neighbours into a new comment.
  EXPECT_EQ(StripCommentsAndScripts("<!<!-- x -->-- y -->"), "<!-- y -->");
}

TEST(StripCommentsAndScripts, UnterminatedCommentHidesTheRestButAnOpenScriptStays) {
  EXPECT_EQ(StripCommentsAndScripts("text<!-- never closed <p>more"), "text");
  EXPECT_EQ(StripCommentsAndScripts("a<script>x<script>y</script>b"), "ab");
  EXPECT_EQ(StripCommentsAndScripts("a<script>never closed"), "a<script>never closed");
  EXPECT_EQ(StripCommentsAndScripts("a<script>1</script>b<script>2"), "ab<script>2");
}

TEST(StripTags, CutsEveryTagWithoutLeavingABlank) {
  EXPECT_EQ(StripTags("one<br>two"), "onetwo");
  EXPECT_EQ(StripTags("<html><body><p>Hello</p></body></html>"), "Hello");
  EXPECT_EQ(StripTags("a > b<i>c</i>"), "a > bc");
  EXPECT_EQ(StripTags("x<a <b>y"), "xy");
  EXPECT_EQ(StripTags("&lt;b&gt; &amp;"), "&lt;b&gt; &amp;");
  EXPECT_EQ(StripTags("<style>p{}</style>"), "p{}");
  EXPECT_EQ(StripTags(""), "");
}

TEST(StripTags, LessThanWithoutAnEndKeepsTheRest) {
  EXPECT_EQ(StripTags("if a < b then"), "if a < b then");
  EXPECT_EQ(StripTags("<b>x</b> 1 < 2 < 3"), "x 1 < 2 < 3");
  EXPECT_EQ(StripTags("x<"), "x<");
}

TEST(StripTags, AgreesWithErasingTagsOneByOne) {
  std::mt19937 rng(7);
  for (int i = 0; i < 30; ++i) {
    std::string page = RandomPage(rng, 500 + rng() % 20000, i % 2 == 0);
    if (i % 5 == 0) page += " 3 < 4 and more";
    EXPECT_TRUE(StripTags(page) == StripTagsByErasing(page)) << "page " << i;
  }
}

TEST(StripTagsChunked, KeepsATagThatStraddlesTheOldPieceBoundaryWhole) {
  // A tag whose "<"-holding attribute straddles the 4000th character: a piece cut there
  // would keep half of the tag.
  std::string page(3990, 'x');
  page += "<img alt=\"1<2\" src=y.png>tail";
  EXPECT_EQ(StripTagsChunked(page), std::string(3990, 'x') + "tail");
}

}  // namespace
}  // namespace zyl::extract
