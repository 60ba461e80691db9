#include "extract/html/HtmlGumboReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ExtractTestSupport.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using testing::Encode;

TEST(ParseHtmlPage, RendersTheBodyAsAReaderSeesIt) {
  const HtmlPage page = ParseHtmlPage(
      "<html><head><title> The \n Title </title><style>p{color:red}</style></head><body>"
      "<h1>Head</h1><p>one   two<br>three</p><script>var x = '<p>no</p>';</script>"
      "<div>Fish &amp; chips&nbsp;&lt;now&gt;</div><ul><li>a</li><li>b</li></ul>"
      "<table><tr><td>c1</td><td>c2</td></tr><tr><td>d1</td></tr></table>"
      "<pre>x  y\nz</pre><span>in</span><b>line</b><noscript>ns</noscript></body></html>");
  EXPECT_EQ(page.title, "The Title");
  EXPECT_EQ(page.text,
            "Head\r\none two\r\nthree\r\nFish & chips <now>\r\na\r\nb\r\nc1\tc2\r\nd1\r\n"
            "x  y\r\nz\r\ninlinens");
}

TEST(ParseHtmlPage, TakesTheFirstAuthorMetaByLowerCaseOrExactName) {
  const std::string html =
      "<meta name=description content=d><meta name=AUTHOR content='Ann &amp; Bob'>"
      "<meta name=Author content=Carl><p>x";
  EXPECT_EQ(ParseHtmlPage(html).author, "Ann & Bob");
  EXPECT_EQ(ParseHtmlPage(html, {.authorExactCase = true}).author, "Carl");
  EXPECT_EQ(ParseHtmlPage("<meta name=author content=a>", {.authorExactCase = true}).author, "");
  EXPECT_EQ(ParseHtmlPage("<meta name=author><meta name=author content=b>").author, "");
}

TEST(ParseHtmlPage, ListsLinksAndTheBaseAddress) {
  const HtmlPage page = ParseHtmlPage(
      "<base href=' http://x.org/dir/ '><a href=a.htm>A</a><a name=top>T</a>"
      "<p><a href=\"sub/\">S</a><a href=''>E</a><svg><a href=svg.htm></a></svg>");
  EXPECT_EQ(page.baseHref, "http://x.org/dir/");
  EXPECT_EQ(page.links, (std::vector<std::string>{"a.htm", "sub/", ""}));
  EXPECT_EQ(page.text, "AT\r\nSE");
}

TEST(DecodeHtmlBytes, FollowsTheByteOrderMarkThenTheDeclaredCharset) {
  const std::string text = "Привет, мир";
  EXPECT_EQ(DecodeHtmlBytes("\xFF\xFE" + Encode("<p>" + text, "UTF-16LE")), "<p>" + text);
  EXPECT_EQ(DecodeHtmlBytes("\xFE\xFF" + Encode(text, "UTF-16BE")), text);
  EXPECT_EQ(DecodeHtmlBytes("\xEF\xBB\xBF" + text), text);
  const std::string koiPage = "<meta charset=\"KOI8-R\"><body>" + Encode(text, "koi8-r");
  EXPECT_EQ(DeclaredCharset(koiPage), "koi8-r");
  EXPECT_EQ(DecodeHtmlBytes(koiPage), "<meta charset=\"KOI8-R\"><body>" + text);
  EXPECT_EQ(ParseHtmlPage("<meta http-equiv=Content-Type content='text/html; charset=windows-1251'>"
                          "<title>" +
                          Encode(text, "windows-1251") + "</title>")
                .title,
            text);
  EXPECT_EQ(DecodeHtmlBytes("<meta charset=ibm866>" + Encode(text, "ibm-866")),
            "<meta charset=ibm866>" + text);
  // No declaration: UTF-16 by its shape, UTF-8 when valid, else the code page detector.
  EXPECT_EQ(DecodeHtmlBytes(Encode("<p>" + text, "UTF-16LE")), "<p>" + text);
  EXPECT_EQ(DecodeHtmlBytes(Encode("<p>" + text, "UTF-16BE")), "<p>" + text);
  for (const char* cp : {"windows-1251", "koi8-r", "ibm-866"})
    EXPECT_EQ(DecodeHtmlBytes("<p>" + Encode(text, cp)), "<p>" + text) << cp;
  // An unknown name falls back to the program's rule for outside text.
  EXPECT_EQ(DecodeHtmlBytes("<meta charset=no-such-set>" + text),
            "<meta charset=no-such-set>" + text);
  // A charset named only in the body is not a declaration.
  EXPECT_EQ(DeclaredCharset("<body>charset=koi8-r"), "");
}

TEST(GetHtmlInfoIE, ReadsFilesAndFailsOnlyWhenUnreadable) {
  test::TempDir dir;
  const FileInfo info = GetHtmlInfoIE(
      dir.write("a.htm", "<title>T</title><meta name=Author content=A><body><p>x</p><p>y</p>"));
  EXPECT_EQ(info.type, "html");
  EXPECT_EQ(info.title, "T");
  EXPECT_EQ(info.author, "A");
  EXPECT_EQ(info.content, "x\r\ny");
  EXPECT_EQ(GetHtmlInfoIE(dir.write("empty.htm", "")).type, "html");
  EXPECT_EQ(GetHtmlInfoIE(dir.file("missing.htm")).type, "error");
}

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ParseHtmlPage, DeeplyNestedPagesKeepTheirTextAndFinish) {
  // Far deeper than any real page; the parser would need minutes (or the stack) for these.
  for (const std::string_view open : {"<div>", "<span>", "<table><tr><td>", "<b>", "<svg><g>"}) {
    const HtmlPage page = ParseHtmlPage(Repeat(open, 100000) + "deep text");
    EXPECT_TRUE(page.text.find("deep text") != std::string::npos) << open;
  }
  const HtmlPage words = ParseHtmlPage(Repeat("<div>w ", 20000));
  EXPECT_EQ(std::count(words.text.begin(), words.text.end(), 'w'), 20000);
  // Many unclosed formatting tags do not blow up the tree built for every paragraph.
  const HtmlPage fonts = ParseHtmlPage(Repeat("<font face=f>", 3000) + Repeat("<p>x", 3000));
  EXPECT_EQ(fonts.text.size(), 3000u * 3 - 2);
}

TEST(ParseHtmlPage, UnterminatedConstructsStillGiveAPage) {
  EXPECT_EQ(ParseHtmlPage("<p>a<!-- open").text, "a");
  EXPECT_EQ(ParseHtmlPage("<p>a<script>open").text, "a");
  EXPECT_EQ(ParseHtmlPage("<p>a < b").text, "a < b");
  EXPECT_EQ(ParseHtmlPage("<title>open").title, "open");
  EXPECT_EQ(ParseHtmlPage("").text, "");
  EXPECT_EQ(ParseHtmlPage(std::string("a\0b", 3)).text.substr(0, 1), "a");
}

}  // namespace
}  // namespace zyl::extract
