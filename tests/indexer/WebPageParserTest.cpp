#include "indexer/WebPageParser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zyl::indexer {
namespace {

using ::testing::ElementsAre;

TEST(WebPageParser, RendersTheBodyAsAReaderSeesIt) {
  const ParsedPage page = ParseWebPage(
      "<html><head><title>T</title><style>p{}</style></head><body>"
      "  Intro   text\n with <i>inline</i>&nbsp;&amp; entities"
      "<div>Block</div><p>Para<br>next line</p>"
      "<script>var x = '<p>';</script><noscript>enable js</noscript>"
      "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>"
      "<pre>  keep\n   this</pre>tail</body></html>",
      "");
  ASSERT_TRUE(page.ok);
  EXPECT_EQ(page.text,
            "Intro text with inline\u00a0& entities\nBlock\nPara\nnext line\n"
            "a\tb\nc\n  keep\n   this\ntail");
}

TEST(WebPageParser, TitleAuthorBaseAndAnchorsInDocumentOrder) {
  const ParsedPage page = ParseWebPage(
      "<title>\n  First \t title </title><title>Second</title>"
      "<meta name=AUTHOR content=shout><meta name=Author><meta name=Author content=late>"
      "<base href='/x/'><base href='/y/'>"
      "<body><a href='one.htm'>1</a><a name=anchor>no href</a><p><a href=''>2</a>"
      "<area href='map.htm'><a href=' three.htm '>3</a></p>",
      "");
  EXPECT_EQ(page.title, "First title");
  EXPECT_EQ(page.author, "");  // the first "Author" meta has no content
  EXPECT_EQ(page.baseHref, "/x/");
  EXPECT_THAT(page.hrefs, ElementsAre("one.htm", "", " three.htm "));
}

TEST(WebPageParser, DecodesTheDeclaredCharset) {
  // "Привет" in Windows-1251 and KOI8-R.
  const std::string win = "\xCF\xF0\xE8\xE2\xE5\xF2";
  const std::string koi = "\xF0\xD2\xC9\xD7\xC5\xD4";

  const std::string metaWin = "<meta charset=\"windows-1251\"><title>" + win + "</title>";
  EXPECT_EQ(ParseWebPage(metaWin, "").title, "Привет");
  const std::string equivKoi =
      "<meta http-equiv='Content-Type' content='text/html; charset=koi8-r'><p>" + koi;
  EXPECT_EQ(ParseWebPage(equivKoi, "").text, "Привет");
  // The HTTP header wins over the page.
  EXPECT_EQ(ParseWebPage("<meta charset=koi8-r><p>" + win, "windows-1251").text, "Привет");
  // Nothing declared: UTF-8 when valid, else Windows-1251.
  EXPECT_EQ(ParseWebPage("<p>" + win, "").text, "Привет");
  EXPECT_EQ(ParseWebPage("<p>Привет", "").text, "Привет");
  // A page cannot really be UTF-16 when its markup was readable as bytes.
  EXPECT_EQ(ParseWebPage("<meta charset=utf-16><p>Привет", "").text, "Привет");
  // An unknown charset falls back to the program's rule.
  EXPECT_EQ(ParseWebPage("<p>" + win, "x-no-such-charset").text, "Привет");
  // A byte-order mark decides before anything else.
  const std::string utf16 = std::string("\xFF\xFE<\0p\0>\0\x1F\x04", 10);
  EXPECT_EQ(ParseWebPage(utf16, "windows-1251").text, "П");

  EXPECT_EQ(CharsetOfContentType("text/html; Charset=\"KOI8-R\" ; x=1"), "KOI8-R");
  EXPECT_EQ(CharsetOfContentType("text/html"), "");
}

TEST(WebPageParser, SerialisedLengthCountsCharactersOfTheDecodedPage) {
  const std::string win = "<p>\xCF\xF0\xE8\xE2\xE5\xF2</p>";
  EXPECT_EQ(ParseWebPage(win, "windows-1251").serialisedLength, 13);
  EXPECT_EQ(ParseWebPage("<p>Привет</p>", "").serialisedLength, 13);
}

TEST(WebPageParser, DeepNestingIsParsedOrAbandonedInTime) {
  std::string divs;
  for (int i = 0; i < 1500; ++i) divs += "<div>";
  divs += "deep<a href='d.htm'>x</a>";
  const ParsedPage deep = ParseWebPage(divs, "");
  ASSERT_TRUE(deep.ok);
  EXPECT_EQ(deep.text, "deepx");
  EXPECT_THAT(deep.hrefs, ElementsAre("d.htm"));

  // The parser's work grows with the square of the depth: 30000 levels take seconds.
  std::string deeper;
  for (int i = 0; i < 30000; ++i) deeper += "<div>";
  EXPECT_FALSE(ParseWebPage(deeper, "", std::chrono::milliseconds(50)).ok);
}

}  // namespace
}  // namespace zyl::indexer
