#include "extract/html/HtmlReader.h"

#include <gtest/gtest.h>

#include "ExtractTestSupport.h"
#include "base/Cp1251.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using testing::Encode;

std::string Page(std::string_view head, std::string_view body) {
  return "<html><head>" + std::string(head) + "</head><body>" + std::string(body) +
         "</body></html>";
}

TEST(GetHtmlTitle, ReadsTheTitleTagInAnyCaseAndForm) {
  EXPECT_EQ(GetHtmlTitle("<TITLE>Report</TITLE>"), "Report");
  EXPECT_EQ(GetHtmlTitle("<title>\r\n two lines \r\n</Title >"), "\r\n two lines \r\n");
  EXPECT_EQ(GetHtmlTitle("<title lang=ru>Report</title>"), "Report");
  EXPECT_EQ(GetHtmlTitle("<TITLE\n>Report</TITLE>"), "Report");
  EXPECT_EQ(GetHtmlTitle("<titles>no</titles><title>yes</title>"), "yes");
  EXPECT_EQ(GetHtmlTitle("<title"), "");
  EXPECT_EQ(GetHtmlTitle("<title>never closed"), "");
  EXPECT_EQ(GetHtmlTitle("<title></title>"), "");
  EXPECT_EQ(GetHtmlTitle(""), "");
}

TEST(GetHtmlAuthor, ReadsQuotedAndUnquotedContentOfTheAuthorMeta) {
  EXPECT_EQ(GetHtmlAuthor("<meta name=\"author\" content=\"Ann Lee\">"), "Ann Lee");
  EXPECT_EQ(GetHtmlAuthor("<META NAME=Author CONTENT='Иван Петров'>"), "Иван Петров");
  EXPECT_EQ(GetHtmlAuthor("<meta content=\"Ann\" name=\"author\">"), "Ann");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content =  \"Ann\">"), "Ann");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content=Ann lang=en>"), "Ann");
  // The nearest <meta> before the word is the tag, even with other metas around.
  EXPECT_EQ(GetHtmlAuthor("<meta name=a content=\"x\"><meta name=author content=\"y\">"), "y");
}

TEST(GetHtmlAuthor, GivesNothingWhenTheTagCannotBeRead) {
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content=Ann>"), "");  // runs into ">"
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content=\"Ann>"), "");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author>"), "");
  EXPECT_EQ(GetHtmlAuthor("<title>author</title>"), "");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content"), "");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content=\"\" lang=\"en\">"), "");
  EXPECT_EQ(GetHtmlAuthor("<meta name=author content=   >"), "");
}

TEST(HtmlInfoFromBytes, StripsThePageAndDecodesItsReferences) {
  const FileInfo info = HtmlInfoFromBytes(
      Page("<title> \r\n Годовой\r\n  отчет &laquo;2002&raquo; </title>"
           "<meta name=\"author\" content=\"A &amp; B\"><style>p{}</style>",
           "<!-- c --><script>x()</script><p>one<br>two</p> &amp; &lt;b&gt; &quot;&copy;&#1055;"
           "&#x41f;&#151;&copy 2002&amp &ampx &nosuch; &#xZ; &#0;"));
  EXPECT_EQ(info.type, "html");
  EXPECT_EQ(info.title, "Годовой отчет «2002»");  // trimmed, line breaks made blanks
  EXPECT_EQ(info.author, "A & B");
  EXPECT_EQ(info.content,
            " \r\n Годовой\r\n  отчет «2002» p{} one two  & <b> \"©ПП—© 2002& &x "
            "&nosuch; &#xZ; \uFFFD ");
}

TEST(HtmlInfoFromBytes, TagsAreParsedWithTheirQuotesAndBlockTagsKeepWordsApart) {
  const auto content = [](std::string_view body) {
    return HtmlInfoFromBytes(Page("", body)).content;
  };
  // A ">" or "<" inside a quoted attribute value stays inside the tag.
  EXPECT_EQ(content("<a href=\"mailto:Ann <ann@x.ru>\">Ann</a> wrote"), "Ann wrote ");
  EXPECT_EQ(content("<img alt='a>b' src=x>c"), "c ");
  // A block tag whose ">" is on the next line, cells and line breaks: words stay apart.
  EXPECT_EQ(content("one<p\n>two<td>three</td><td>four<br/>five<b>six</b>"),
            "one two three four fivesix ");
  // A "<" that starts no tag is a less-than sign; an unmatched quote does not hide the end.
  EXPECT_EQ(content("a < b, 1<2 <i title=\"x>y</i>"), "a < b, 1<2 y ");
  EXPECT_EQ(content("x<a <b>y"), "xy ");
  EXPECT_EQ(content("x <never closed"), "x ");  // up to the ">" of the body end
  EXPECT_EQ(HtmlInfoFromBytes("x <never closed").content, "x <never closed");
}

TEST(HtmlInfoFromBytes, NbspBecomesABlankAndRunsOfFourBlanksShrink) {
  EXPECT_EQ(HtmlInfoFromBytes("a&nbsp;&nbsp;b").content, "a  b");
  EXPECT_EQ(HtmlInfoFromBytes("a        b").content, "a  b");  // eight -> two
  EXPECT_EQ(HtmlInfoFromBytes("a     b").content, "a  b");     // five -> two
  EXPECT_EQ(HtmlInfoFromBytes("a   b").content, "a   b");
  EXPECT_EQ(HtmlInfoFromBytes("a&NBSP;b").content, "a&NBSP;b");
}

TEST(HtmlInfoFromBytes, WithoutABodyThereIsNoHeadSoTheDetectorReadsTheText) {
  const std::string dos = Encode("Привет", "ibm-866");
  const FileInfo info = HtmlInfoFromBytes(
      "<title>T</title><meta charset=koi8-r><meta name=author content='A' >" + dos);
  EXPECT_EQ(info.title, "");
  EXPECT_EQ(info.author, "");
  EXPECT_EQ(info.content, "T Привет");
  EXPECT_EQ(info.type, "html");
}

TEST(HtmlInfoFromBytes, RecodesTheBodyFromTheDeclaredCodePageButNotTheTitle) {
  const std::string text = "Отчет о продажах";
  for (const auto& [declared, codePage] :
       {std::pair{"koi8-r", "koi8-r"}, {"cp866", "ibm-866"}, {"ISO-8859-5", "iso-8859-5"}}) {
    const std::string head =
        "<meta http-equiv=Content-Type content=\"text/html; charset=" + std::string(declared) +
        "\"><title>" + Encode(text, codePage) + "</title>";
    const FileInfo info = HtmlInfoFromBytes(Page(head, "<p>" + Encode(text, codePage)));
    // The title's bytes are part of the stripped text and are recoded with the body.
    EXPECT_EQ(info.content, text + " " + text + " ") << declared;
    EXPECT_EQ(info.title, base::Cp1251ToUtf8(Encode(text, codePage))) << declared;
  }
  // Without the word "charset" a code page name alone declares nothing: the detector reads
  // the body.
  const std::string dos = Encode(text, "ibm-866");
  EXPECT_EQ(HtmlInfoFromBytes(Page("<meta name=koi8-r>", dos)).content, text + " ");
}

TEST(HtmlInfoFromBytes, PagesWithoutACharsetAreDetected) {
  const std::string text = "Отчет о продажах за первый квартал";
  for (const char* cp : {"koi8-r", "ibm-866", "iso-8859-5", "windows-1251", "x-mac-cyrillic"}) {
    const FileInfo info = HtmlInfoFromBytes(Page("<title>T</title>", "<p>" + Encode(text, cp)));
    EXPECT_EQ(info.content, "T " + text + " ") << cp;
  }
}

TEST(HtmlInfoFromBytes, Utf16PagesWithAndWithoutAMark) {
  const std::string page = "<html><head><title>Отчет</title></head><body><p>Продажи выросли";
  for (const std::string& bytes :
       {"\xFF\xFE" + Encode(page, "UTF-16LE"), Encode(page, "UTF-16LE"),
        "\xFE\xFF" + Encode(page, "UTF-16BE"), Encode(page, "UTF-16BE")}) {
    const FileInfo info = HtmlInfoFromBytes(bytes);
    EXPECT_EQ(info.title, "Отчет");
    EXPECT_EQ(info.content, "Отчет Продажи выросли");
  }
}

TEST(HtmlInfoFromBytes, Utf8PagesStayUtf8AndOthersAreWindows1251) {
  const std::string text = "Отчет о продажах";
  EXPECT_EQ(HtmlInfoFromBytes(Page("<title>Т</title>", text)).content, "Т " + text + " ");
  // A UTF-8 head that mentions 866 somewhere is not recoded as DOS text.
  EXPECT_EQ(HtmlInfoFromBytes(Page("<meta charset=utf-8><meta name=w content=866>", text)).content,
            text + " ");
  EXPECT_EQ(HtmlInfoFromBytes(Page("", Encode(text, "windows-1251"))).content, text + " ");
  // A page that only mentions UTF-8 is still read as Windows-1251.
  EXPECT_EQ(HtmlInfoFromBytes(Page("<meta charset=windows-1251><link href=utf-8.css>",
                                   Encode(text, "windows-1251")))
                .content,
            text + " ");
  // Declared UTF-8 with a broken byte keeps the rest and marks the byte.
  EXPECT_EQ(HtmlInfoFromBytes(Page("<meta charset=\"utf-8\">", "я\xFF")).content, "я\uFFFD ");
}

TEST(HtmlInfoFromBytes, PagesJustBelowAndAtTheChunkingSizeGiveTheSameText) {
  // Two pages that differ only in the length of a comment, 29999 and 30000 bytes long.
  std::string body;
  for (int i = 0; body.size() < 29000; ++i)
    body += "<p class=x>строка " + std::to_string(i) + "</p>\r\n";
  auto pageOfSize = [&](std::size_t size) {
    const std::string start = Page("<title>T</title>", "");
    std::string page = start + body + "<!--";
    page += std::string(size - page.size() - 3, '-') + "-->";
    return page;
  };
  const std::string small = pageOfSize(29999), large = pageOfSize(30000);
  ASSERT_EQ(small.size(), 29999u);
  ASSERT_EQ(large.size(), 30000u);
  EXPECT_TRUE(HtmlInfoFromBytes(small).content == HtmlInfoFromBytes(large).content);
}

TEST(GetHtmlInfo, MissingOrEmptyFileIsAnError) {
  test::TempDir dir;
  EXPECT_EQ(GetHtmlInfo(dir.write("empty.htm", "")).type, "error");
  EXPECT_EQ(GetHtmlInfo(dir.file("missing.htm")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
