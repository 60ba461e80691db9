#include "server/ResultPage.h"

#include <gtest/gtest.h>

#include "server/HttpRequest.h"
#include "support/TestSupport.h"

namespace zyl::server {
namespace {

search::ResultRow Hit(std::string title) {
  search::ResultRow r;
  r.title = std::move(title);
  r.location = "/d/" + r.title;
  return r;
}

std::string NoLink(const search::ResultRow&) {
  return "";
}

// Every row shown on one page, each with an empty text.
std::string Page(std::string_view t, const std::vector<search::ResultRow>& hits,
                 const std::function<std::string(const search::ResultRow&)>& link) {
  return BuildResultPage(t, hits, link, [](std::size_t) { return ""; });
}

TEST(BuildResultPage, MarkersDropOneCharacterEachSide) {
  const std::string t = "A<template>\nX%Title%Y\n</template>\nB";
  EXPECT_EQ(Page(t, {Hit("P"), Hit("Q")}, NoLink), "AXPYXQYB");
  EXPECT_EQ(Page(t, {}, NoLink), "AB");
  EXPECT_EQ(Page("no markers", {Hit("P")}, NoLink), "no markers");
}

TEST(BuildResultPage, PlaceholdersFilledOnceAndEscaped) {
  const std::string t =
      "<template>\n%Filenumber%|%Title%|%Author% "
      "|%Author%|%Location%|%FileLink%|%Nope%\n</template>\n";
  search::ResultRow r = Hit("<b>%Location%</b>");
  r.author = "Tom & Jerry";
  const std::string page =
      Page(t, {r}, [](const search::ResultRow&) { return std::string("http://h:1/?a=1&b=2"); });
  EXPECT_EQ(page,
            "1|&lt;b&gt;%Location%&lt;/b&gt;|Tom &amp; Jerry|%Author%|/d/&lt;b&gt;%Location%&lt;/"
            "b&gt;|http://h:1/?a=1&amp;b=2|%Nope%");
}

TEST(MakeExcerpt, StartsTwoHundredBeforeTheFirstFoundWordAndMarksIt) {
  std::string content(1200, 'x');
  content.replace(999, 4, "find");  // character 1000
  const std::string excerpt = MakeExcerpt(content, "absent find");
  EXPECT_EQ(excerpt, std::string(200, 'x') + "<Font Color=Red>find</Font>" + std::string(96, 'x'));
  // Found at character 150: the excerpt starts at the beginning.
  std::string early(400, 'y');
  early.replace(149, 4, "word");
  EXPECT_TRUE(MakeExcerpt(early, "word").starts_with(std::string(149, 'y') + "<Font"));
}

TEST(MakeExcerpt, TidiesBlanksAndLineBreaksAndEscapes) {
  EXPECT_EQ(MakeExcerpt("a    b  c\r\n\r\n\r\nd\ne", ""), "a b c<br>\r\nd<br>\r\ne");
  EXPECT_EQ(MakeExcerpt("1 < 2 & <script>", "<script>"),
            "1 &lt; 2 &amp; <Font Color=Red>&lt;script&gt;</Font>");
  // Only the first word found is looked for and marked.
  EXPECT_EQ(MakeExcerpt("alpha beta", "beta alpha"), "alpha <Font Color=Red>beta</Font>");
  // Case matters when finding the excerpt's word.
  EXPECT_EQ(MakeExcerpt("Alpha", "alpha"), "Alpha");
}

// The word is looked for in the document's text, not in its escaped form: words that are
// also entity names must not cut the page's entities apart.
TEST(MakeExcerpt, MarksWordsThatAreEntityNamesWithoutBreakingEntities) {
  EXPECT_EQ(MakeExcerpt("Tom & Jerry say amp", "amp"),
            "Tom &amp; Jerry say <Font Color=Red>amp</Font>");
  EXPECT_EQ(MakeExcerpt("if a <lt> b", "lt"), "if a &lt;<Font Color=Red>lt</Font>&gt; b");
  EXPECT_EQ(MakeExcerpt("\"quot\" & quot", "quot"),
            "&quot;<Font Color=Red>quot</Font>&quot; &amp; <Font Color=Red>quot</Font>");
  EXPECT_EQ(MakeExcerpt("a&b a&b", "&"),
            "a<Font Color=Red>&amp;</Font>b a<Font Color=Red>&amp;</Font>b");
  EXPECT_EQ(MakeExcerpt("x;y", "39"), "x;y");
}

// The shipped template: an untitled hit shows its file name as the link text, and unknown
// author and size leave no "n/a" and no empty separators.
TEST(BuildResultPage, ShippedTemplateShowsUntitledHitsByFileName) {
  const test::ProgramFolderScope home;  // seeded with the files the program installs
  const std::string shipped = test::ReadFile(home.file("template.html"));
  ASSERT_NE(shipped.find("<template>"), std::string::npos);
  search::ResultRow hit;
  hit.location = "/docs/notes/plan 2.txt";
  hit.type = "txt";
  hit.filesize = "n/a";
  hit.modified = "2024-03-01";
  search::ResultRow titled = hit;
  titled.title = "Budget";
  titled.author = "Ann";
  titled.filesize = "120";
  // The hits as the page shows them (the template's head documents the placeholders).
  std::string page =
      Page(shipped, {hit, titled}, [](const auto&) { return std::string("http://h:1/x"); });
  page = page.substr(page.find("<main>"));
  EXPECT_NE(page.find("\">plan 2.txt</a></h2>"), std::string::npos) << page;
  EXPECT_NE(page.find("\">Budget</a></h2>"), std::string::npos);
  EXPECT_EQ(page.find("n/a"), std::string::npos);
  EXPECT_EQ(page.find("·  ·"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"size\">120</span>"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"author\">Ann</span>"), std::string::npos);
  EXPECT_NE(page.find("<span class=\"author\"></span>"), std::string::npos);
  EXPECT_EQ(page.find('%'), std::string::npos);
}

TEST(BuildResultPage, NameFallsBackToTheFileOrTheWholeLocation) {
  const std::string t = "<template>\n[%Name%|%Bytes%]\n</template>\n";
  search::ResultRow mail;
  mail.location = "Inbox/<id/1@x>";
  mail.type = "mail_moz";
  mail.filesize = "n/a";
  search::ResultRow web;
  web.location = "http://example.com/";
  web.type = "html";
  web.filesize = "10";
  search::ResultRow blank = web;
  blank.title = "  ";
  EXPECT_EQ(Page(t, {mail, web, blank}, NoLink),
            "[&lt;id/1@x&gt;|][http://example.com/|10][http://example.com/|10]");
}

TEST(SlicePage, PagesOfAListAndUnusablePageNumbers) {
  auto slice = [](std::size_t total, std::size_t per, std::string_view page) {
    const PageSlice s = SlicePage(total, per, page);
    return std::to_string(s.first) + "+" + std::to_string(s.count) + " " + std::to_string(s.page) +
           "/" + std::to_string(s.pages);
  };
  EXPECT_EQ(slice(250, 100, ""), "0+100 1/3");
  EXPECT_EQ(slice(250, 100, "3"), "200+50 3/3");
  EXPECT_EQ(slice(200, 100, "2"), "100+100 2/2");
  // 0 rows a page: everything on one page, whatever page is asked for.
  EXPECT_EQ(slice(250, 0, "2"), "0+250 1/1");
  EXPECT_EQ(slice(0, 100, "5"), "0+0 1/1");
  // Beyond the end: the last page; nonsense or nothing below 1: the first.
  EXPECT_EQ(slice(250, 100, "7"), "200+50 3/3");
  EXPECT_EQ(slice(250, 100, "99999999999999999999"), "200+50 3/3");
  EXPECT_EQ(slice(250, 100, "0"), "0+100 1/3");
  EXPECT_EQ(slice(250, 100, "-2"), "0+100 1/3");
  EXPECT_EQ(slice(250, 100, "2x"), "0+100 1/3");
}

// A page shows its slice of the hits, numbered as in the whole list; the count and the links
// to the neighbouring pages can stand anywhere in the template; a text is read only for the
// hits shown.
TEST(BuildResultPage, ShowsOnePageWithCountAndLinks) {
  const std::string t =
      "%Found% %First%-%Last% [%PrevLink%|%NextLink%]<template>\n"
      "%Filenumber%.%Title%:%Content%/%Found%;\n</template>\nend %NextLink%";
  std::vector<search::ResultRow> hits;
  for (const char* title : {"a", "b", "c", "d", "e"}) hits.push_back(Hit(title));
  std::vector<std::string> read;
  auto content = [&](std::size_t k) {
    read.push_back(hits[k].title);
    return "text of " + hits[k].title;
  };
  auto link = [](std::size_t n) { return "/?content=x&page=" + std::to_string(n); };
  EXPECT_EQ(BuildResultPage(t, hits, NoLink, content, SlicePage(5, 2, "2"), link),
            "5 3-4 [/?content=x&amp;page=1|/?content=x&amp;page=3]"
            "3.c:text of c/5;4.d:text of d/5;end /?content=x&amp;page=3");
  EXPECT_EQ(read, (std::vector<std::string>{"c", "d"}));
  // The first and last pages have no link before and after them.
  EXPECT_EQ(BuildResultPage(t, hits, NoLink, content, SlicePage(5, 2, "1"), link).substr(0, 24),
            "5 1-2 [|/?content=x&amp;");
  EXPECT_TRUE(BuildResultPage(t, hits, NoLink, content, SlicePage(5, 2, "3"), link)
                  .starts_with("5 5-5 [/?content=x&amp;page=2|]"));
  // Nothing found: no rows, no links.
  EXPECT_EQ(BuildResultPage(t, {}, NoLink, content, SlicePage(0, 2, ""), link), "0 0-0 [|]end ");
}

TEST(DocumentLink, RoundTripsAwkwardLocations) {
  const std::string loc = "/home/a b/x&y #1+2%.txt";
  const std::string link = DocumentLink("127.0.0.1", 8080, loc, "Мои документы", 7);
  const Request r = ParseRequest("GET " + link.substr(link.find("/?")) + " HTTP/1.0\r\n\r\n");
  EXPECT_EQ(GetQueryVar(r, "location"), loc);
  EXPECT_EQ(GetQueryVar(r, "indexname"), "Мои документы");
  EXPECT_EQ(GetQueryVar(r, "session"), "7");
}

TEST(MimeTypeOf, ByLowerCaseExtension) {
  const std::vector<std::string> mime = {"text/html;htm", "text/plain;txt", "application/pdf;pdf"};
  EXPECT_EQ(MimeTypeOf("/d/A.HTM", mime), "text/html");
  EXPECT_EQ(MimeTypeOf("/d/a.pdf", mime), "application/pdf");
  EXPECT_EQ(MimeTypeOf("/d/a.doc", mime), "");
  EXPECT_EQ(MimeTypeOf("/d/noext", mime), "");
}

}  // namespace
}  // namespace zyl::server
