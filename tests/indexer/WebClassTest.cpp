#include "indexer/WebClass.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Utf8.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::LinkPage;
using test::TestHttpServer;
using ::testing::ElementsAre;

// A crawler set up as the builds set it up, recording its events.
struct Crawl {
  WebClass web;
  std::vector<std::string> announced, failed;
  std::vector<WebPage> pages;

  explicit Crawl(int depth, FetchLimits limits = {}) : web(limits) {
    web.SetExploreDefault(true);
    web.SetRitrievalFilesExt("htm;html");
    web.SetMaxExploreDepth(depth);
    web.onExploreNewDocument = [this](const WebPage& page) {
      announced.push_back(page.url);
      pages.push_back(page);
    };
    web.onLoadFailed = [this](const WebPage& page) { failed.push_back(page.address); };
  }
  Crawl& Run(const std::string& start) {
    web.GetSubWebPages(start);
    return *this;
  }
};

TEST(WebClassAddress, UrlDecodeTurnsPlusAndEscapesIntoCharacters) {
  EXPECT_EQ(WebClass::UrlDecode("http://h/my%20page+x.htm"), "http://h/my page x.htm");
  EXPECT_EQ(WebClass::UrlDecode("a%2541"), "a%41");    // the inserted "%" is not read again
  EXPECT_EQ(WebClass::UrlDecode("50%"), "50%");        // the last character is not examined
  EXPECT_EQ(WebClass::UrlDecode("x%4"), "x\x04");      // one digit left: that is the code
  EXPECT_EQ(WebClass::UrlDecode("%4G!"), "@!");        // a non-hex digit counts as 0
  EXPECT_EQ(WebClass::UrlDecode("%zz%00"), "%zz%00");  // code 0 would cut the address
  EXPECT_EQ(WebClass::UrlDecode("я%4я"), "я@");        // digits are characters, not bytes
  // A run of escapes is outside text: UTF-8 when it is valid UTF-8, else Windows-1251.
  EXPECT_EQ(WebClass::UrlDecode("%D0%B0/%E0%E1"), "а/аб");
}

TEST(WebClassAddress, ExtensionIsTheTextAfterTheLastDot) {
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a/Page.HTM"), "htm");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.html?x=1"), "html");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.htm?v=1.5"), "5");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.htm#top"), "htm#top");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://www.site.com/page"), "com/page");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://localhost/page"), "");
}

TEST(WebClassCrawl, DepthDecidesHowManyLinkLevelsAreFollowedOnAnyHost) {
  TestHttpServer site, other;
  site.ServeHtml("/index.htm", LinkPage({"p1.htm", "p2.html", "p1.htm", "doc.pdf", "sub/",
                                         other.url("/far.htm"), "mailto:x@y.htm", "page.php"}));
  site.ServeHtml("/p1.htm", LinkPage({"deep.htm", "index.htm"}));
  site.ServeHtml("/p2.html", LinkPage({"p1.htm"}));
  site.ServeHtml("/sub/", LinkPage({}));
  site.ServeHtml("/deep.htm", LinkPage({}));
  other.ServeHtml("/far.htm", LinkPage({}));
  const std::string start = site.url("/index.htm");

  EXPECT_THAT(Crawl(0).Run(start).announced, ElementsAre(start));
  EXPECT_EQ(site.requests().size(), 1u);

  Crawl one(1);
  EXPECT_THAT(one.Run(start).announced,
              ElementsAre(start, site.url("/p1.htm"), site.url("/p2.html"), site.url("/sub/"),
                          other.url("/far.htm")));
  EXPECT_EQ(site.count("/p1.htm"), 1);  // reached twice, loaded once within the crawl
  for (const char* unloaded : {"/deep.htm", "/doc.pdf", "/page.php"})
    EXPECT_EQ(site.count(unloaded), 0) << unloaded;
  EXPECT_TRUE(one.failed.empty());

  EXPECT_THAT(Crawl(2).Run(start).announced,
              ElementsAre(start, site.url("/p1.htm"), site.url("/deep.htm"), site.url("/p2.html"),
                          site.url("/sub/"), other.url("/far.htm")));
}

TEST(WebClassCrawl, LinkListKeepsDuplicatesAndFragmentsButAnnouncesOnce) {
  TestHttpServer site;
  site.ServeHtml("/index.htm",
                 LinkPage({"f.htm?v=1#a", "f.htm?v=1#b", "g.htm#top", "x.htm", "x.htm", "dir/"}));
  site.ServeHtml("/f.htm?v=1", LinkPage({}));
  site.ServeHtml("/x.htm", LinkPage({}));
  Crawl crawl(1);
  EXPECT_THAT(crawl.web.GetWebLinks(site.url("/index.htm")),
              ElementsAre(site.url("/f.htm?v=1#a"), site.url("/f.htm?v=1#b"), site.url("/x.htm"),
                          site.url("/x.htm"), site.url("/dir/")));
  crawl.announced.clear();
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced,
              ElementsAre(site.url("/index.htm"), site.url("/f.htm?v=1"), site.url("/x.htm")));
  EXPECT_EQ(site.count("/g.htm"), 0);
}

TEST(WebClassCrawl, PagesAreStoredUnderTheAddressFinallyLoaded) {
  TestHttpServer site, other;
  site.Redirect("/old.htm", other.url("/new.htm"));
  other.ServeHtml("/new.htm", LinkPage({"new.htm", "self.htm", "my%20page+x.htm"}));
  other.Redirect("/self.htm", "/new.htm");
  other.ServeHtml("/my%20page%20x.htm", LinkPage({}));
  Crawl crawl(1);
  crawl.Run(site.url("/old.htm"));
  // An escaped blank and a plus sign are both loaded as blanks.
  EXPECT_THAT(crawl.announced, ElementsAre(other.url("/new.htm"), other.url("/my%20page%20x.htm")));
  EXPECT_EQ(GetWebPageInfo(crawl.pages[0]).location, other.url("/new.htm"));
}

TEST(WebClassCrawl, CyclesAndDenseSitesLoadEachPageOnce) {
  TestHttpServer site;
  site.ServeHtml("/a.htm", LinkPage({"b.htm"}));
  site.ServeHtml("/b.htm", LinkPage({"a.htm"}));
  EXPECT_THAT(Crawl(60).Run(site.url("/a.htm")).announced,
              ElementsAre(site.url("/a.htm"), site.url("/b.htm")));
  EXPECT_EQ(site.count("/a.htm") + site.count("/b.htm"), 2);

  // Six pages linking to each other: exploring every path to depth 12 would take 6^12 loads.
  const std::initializer_list<std::string> all = {"d0.htm", "d1.htm", "d2.htm",
                                                  "d3.htm", "d4.htm", "d5.htm"};
  for (const std::string& page : all) site.ServeHtml("/" + page, LinkPage(all));
  EXPECT_EQ(Crawl(12).Run(site.url("/d0.htm")).announced.size(), 6u);
  for (const std::string& page : all) EXPECT_EQ(site.count("/" + page), 1) << page;
}

TEST(WebClassCrawl, PageReachedAgainHigherUpIsExploredFurther) {
  // b is first reached at the last level (links not followed), then again one level higher,
  // where its link to c must be followed.
  TestHttpServer site;
  site.ServeHtml("/index.htm", LinkPage({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", LinkPage({"b.htm"}));
  site.ServeHtml("/b.htm", LinkPage({"c.htm"}));
  site.ServeHtml("/c.htm", LinkPage({"d.htm"}));
  EXPECT_THAT(Crawl(2).Run(site.url("/index.htm")).announced,
              ElementsAre(site.url("/index.htm"), site.url("/a.htm"), site.url("/b.htm"),
                          site.url("/c.htm")));
}

TEST(WebClassCrawl, FailedAndNonHtmlPagesAreNotStoredAndTheCrawlGoesOn) {
  TestHttpServer site;
  site.ServeHtml("/big.htm", std::string(5000, 'x'));
  HttpResponse text;
  text.headers = {{"Content-Type", "text/plain"}};
  text.body = LinkPage({"from-text.htm"});
  site.Serve("/notes.htm", text);
  site.ServeHtml("/ok.htm", LinkPage({}));
  site.ServeHtml("/index.htm", LinkPage({"missing.htm", "big.htm", "notes.htm", "ok.htm"}));
  FetchLimits limits;
  limits.maxPageSize = 4000;
  Crawl crawl(2, limits);
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm"), site.url("/ok.htm")));
  EXPECT_THAT(crawl.failed, ElementsAre(site.url("/missing.htm"), site.url("/big.htm")));
  EXPECT_EQ(site.count("/from-text.htm"), 0);
}

TEST(WebClassPage, RowHoldsTextTitleExactCaseAuthorAndDates) {
  TestHttpServer site;
  HttpResponse page;
  page.headers = {{"Content-Type", "text/html; charset=utf-8"},
                  {"Last-Modified", "Tue, 15 Nov 1994 12:45:26 GMT"}};
  page.body =
      "<html><head><title> Отчёт \n за год </title><meta name='author' content='low'>"
      "<meta name='Author' content='Анна'><base href='/b/'></head>"
      "<body><h1>Итоги</h1><p>Всё <b>хорошо</b></p><a href='x.htm'>x</a></body></html>";
  site.Serve("/report.htm", page);
  site.ServeHtml("/lower.htm", "<meta name=author content=Ann><p>x</p>");

  WebClass web;
  const WebPage loaded = web.OpenDoc(site.url("/report.htm"));
  const extract::FileInfo info = GetWebPageInfo(loaded);
  EXPECT_EQ(info.title, "Отчёт за год");
  EXPECT_EQ(info.author, "Анна");
  EXPECT_EQ(info.content, "Итоги\r\nВсё хорошо\r\nx");
  EXPECT_EQ(info.location, site.url("/report.htm"));
  EXPECT_EQ(info.modified, base::FormatModified(784903526));
  EXPECT_EQ(info.type, "html");
  EXPECT_EQ(info.filesize, static_cast<std::int32_t>(base::CodePointCount(page.body)));
  EXPECT_THAT(loaded.links, ElementsAre(site.url("/b/x.htm")));

  EXPECT_EQ(GetWebPageInfo(web.OpenDoc(site.url("/lower.htm"))).author, "");
}

TEST(WebClassPage, HeaderCharsetOutranksThePageAndAByteOrderMarkOutranksBoth) {
  const std::string win = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in Windows-1251
  const std::string koi = "\xF0\xD2\xC9\xD7\xC5\xD4";  // and in KOI8-R
  auto read = [](std::string contentType, const std::string& body) {
    WebPage page;
    page.url = "http://h/p.htm";
    page.contentType = std::move(contentType);
    ReadHtmlPage(page, body);
    return page;
  };
  EXPECT_EQ(read("text/html; charset=koi8-r", "<meta charset=windows-1251><p>" + koi).text,
            "Привет");
  EXPECT_EQ(read("text/html", "<meta charset=windows-1251><title>" + win).title, "Привет");
  EXPECT_EQ(read("text/html; charset=windows-1251", "\xEF\xBB\xBF<p>Привет").text, "Привет");
  EXPECT_EQ(read("text/html; charset=a>b", "<p>" + win).text, "Привет");  // not a name: unused
  // The serialised length counts the characters of the decoded page, not its bytes.
  EXPECT_EQ(read("text/html; charset=koi8-r", "<p>" + koi + "</p>").serialisedLength, 13);
}

}  // namespace
}  // namespace zyl::indexer
