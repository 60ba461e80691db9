#include "indexer/WebClass.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Utf8.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::TestHttpServer;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

FetchLimits Quick() {
  FetchLimits limits;
  limits.connectTimeout = 2;
  limits.requestTimeout = 1;
  limits.maxPageSize = 4000;
  return limits;
}

std::string Links(std::initializer_list<std::string> hrefs) {
  std::string html = "<html><body>";
  for (const std::string& href : hrefs) html += "<a href=\"" + href + "\">link</a> ";
  return html + "</body></html>";
}

// A crawler set up as the builds set it up, recording its events.
struct Crawl {
  WebClass web{Quick()};
  std::vector<std::string> announced;
  std::vector<std::string> failed;
  std::vector<WebPage> pages;
  int completed = 0;

  explicit Crawl(int depth) {
    web.SetExploreDefault(true);
    web.SetRitrievalFilesExt("htm;html");
    web.SetMaxExploreDepth(depth);
    web.onExploreNewDocument = [this](const WebPage& page) {
      announced.push_back(page.url);
      pages.push_back(page);
    };
    web.onLoadFailed = [this](const WebPage& page) { failed.push_back(page.address); };
    web.onExploreComplete = [this] { ++completed; };
  }
  void Run(const std::string& start) { web.GetSubWebPages(start); }
};

TEST(WebClassAddress, UrlDecodeTurnsPlusAndEscapesIntoCharacters) {
  EXPECT_EQ(WebClass::UrlDecode("http://h/my%20page+x.htm"), "http://h/my page x.htm");
  EXPECT_EQ(WebClass::UrlDecode("a%2541"), "a%41");  // the inserted "%" is not read again
  EXPECT_EQ(WebClass::UrlDecode("%41%42c"), "ABc");
  EXPECT_EQ(WebClass::UrlDecode("50%"), "50%");        // the last character is not examined
  EXPECT_EQ(WebClass::UrlDecode("x%4"), "x\x04");      // one digit left: that is the code
  EXPECT_EQ(WebClass::UrlDecode("%4G!"), "@!");        // a non-hex digit counts as 0
  EXPECT_EQ(WebClass::UrlDecode("%zz%00"), "%zz%00");  // code 0 would cut the address
  // A run of escapes is outside text: UTF-8 when it is valid UTF-8, else Windows-1251.
  EXPECT_EQ(WebClass::UrlDecode("%D0%B0/%E0%E1"), "а/аб");
  EXPECT_EQ(WebClass::UrlDecode("я%4я"), "я@");  // digits are characters, not bytes
}

TEST(WebClassAddress, ExtensionIsTheTextAfterTheLastDot) {
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a/Page.HTM"), "htm");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.html?x=1"), "html");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.htm?v=1.5"), "5");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://h/a.htm#top"), "htm#top");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://www.site.com/page"), "com/page");
  EXPECT_EQ(WebClass::GetUrlFileExt("http://localhost/page"), "");
}

TEST(WebClassCrawl, DepthZeroLoadsOnlyTheStartPage) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"p1.htm", "p2.html"}));
  site.ServeHtml("/p1.htm", Links({}));
  Crawl crawl(0);
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm")));
  EXPECT_EQ(site.requests().size(), 1u);
  EXPECT_EQ(crawl.completed, 1);
}

TEST(WebClassCrawl, DepthOneStoresEveryFollowedPageOnceOnAnyHost) {
  TestHttpServer site, other;
  site.ServeHtml("/index.htm", Links({"p1.htm", "p2.html", "p1.htm", "doc.pdf", "sub/",
                                      other.url("/far.htm"), "mailto:x@y.htm", "page.php"}));
  site.ServeHtml("/p1.htm", Links({"deep.htm", "index.htm"}));
  site.ServeHtml("/p2.html", Links({"p1.htm"}));
  site.ServeHtml("/sub/", Links({}));
  site.ServeHtml("/deep.htm", Links({}));
  other.ServeHtml("/far.htm", Links({}));

  Crawl crawl(1);
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced,
              ElementsAre(site.url("/index.htm"), site.url("/p1.htm"), site.url("/p2.html"),
                          site.url("/sub/"), other.url("/far.htm")));
  EXPECT_EQ(site.count("/p1.htm"), 1);  // reached twice, loaded once within the crawl
  EXPECT_EQ(site.count("/deep.htm"), 0);
  EXPECT_EQ(site.count("/doc.pdf"), 0);
  EXPECT_EQ(site.count("/page.php"), 0);
  EXPECT_THAT(crawl.failed, IsEmpty());

  Crawl deeper(2);
  deeper.Run(site.url("/index.htm"));
  EXPECT_THAT(deeper.announced,
              ElementsAre(site.url("/index.htm"), site.url("/p1.htm"), site.url("/deep.htm"),
                          site.url("/p2.html"), site.url("/sub/"), other.url("/far.htm")));
}

TEST(WebClassCrawl, LinkListKeepsDuplicatesAndFragmentsButAnnouncesOnce) {
  TestHttpServer site;
  site.ServeHtml("/index.htm",
                 Links({"f.htm?v=1#a", "f.htm?v=1#b", "g.htm#top", "x.htm", "x.htm", "dir/"}));
  site.ServeHtml("/f.htm?v=1", Links({}));
  site.ServeHtml("/x.htm", Links({}));
  Crawl crawl(1);
  EXPECT_THAT(crawl.web.GetWebLinks(site.url("/index.htm")),
              ElementsAre(site.url("/f.htm?v=1#a"), site.url("/f.htm?v=1#b"), site.url("/x.htm"),
                          site.url("/x.htm"), site.url("/dir/")));

  crawl.announced.clear();
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced,
              ElementsAre(site.url("/index.htm"), site.url("/f.htm?v=1"), site.url("/x.htm")));
  EXPECT_EQ(site.count("/g.htm"), 0);
  EXPECT_THAT(crawl.failed, ElementsAre(site.url("/dir/")));  // 404
}

TEST(WebClassCrawl, RedirectedPageIsStoredUnderItsFinalAddress) {
  TestHttpServer site, other;
  site.Redirect("/old.htm", other.url("/new.htm"));
  other.ServeHtml("/new.htm", Links({"new.htm", "self.htm"}));
  other.Redirect("/self.htm", "/new.htm");
  Crawl crawl(1);
  crawl.Run(site.url("/old.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(other.url("/new.htm")));
  ASSERT_EQ(crawl.pages.size(), 1u);
  EXPECT_EQ(GetWebPageInfo(crawl.pages[0]).location, other.url("/new.htm"));
}

TEST(WebClassCrawl, EscapedBlankAndPlusAreBothLoadedAsBlanks) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"my%20page+x.htm"}));
  site.ServeHtml("/my%20page%20x.htm", Links({}));
  Crawl crawl(1);
  crawl.Run(site.url("/index.htm"));
  EXPECT_EQ(site.count("/my%20page%20x.htm"), 1);
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm"), site.url("/my%20page%20x.htm")));
}

TEST(WebClassCrawl, CyclesAndDenseSitesLoadEachPageOnce) {
  TestHttpServer site;
  site.ServeHtml("/a.htm", Links({"b.htm"}));
  site.ServeHtml("/b.htm", Links({"a.htm"}));
  Crawl cycle(60);
  cycle.Run(site.url("/a.htm"));
  EXPECT_THAT(cycle.announced, ElementsAre(site.url("/a.htm"), site.url("/b.htm")));
  EXPECT_EQ(site.count("/a.htm") + site.count("/b.htm"), 2);

  // Six pages linking to each other: exploring every path to depth 12 would take 6^12 loads.
  std::vector<std::string> all;
  for (int i = 0; i < 6; ++i) all.push_back("d" + std::to_string(i) + ".htm");
  for (const std::string& page : all) {
    std::string html = "<body>";
    for (const std::string& link : all) html += "<a href='" + link + "'>x</a>";
    site.ServeHtml("/" + page, html);
  }
  Crawl dense(12);
  dense.Run(site.url("/d0.htm"));
  EXPECT_EQ(dense.announced.size(), 6u);
  for (const std::string& page : all) EXPECT_EQ(site.count("/" + page), 1) << page;
}

TEST(WebClassCrawl, PageReachedAgainHigherUpIsExploredFurther) {
  // b is first reached at the last level (links not followed), then again one level higher,
  // where its link to c must be followed.
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", Links({"b.htm"}));
  site.ServeHtml("/b.htm", Links({"c.htm"}));
  site.ServeHtml("/c.htm", Links({"d.htm"}));
  site.ServeHtml("/d.htm", Links({}));
  Crawl crawl(2);
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm"), site.url("/a.htm"),
                                           site.url("/b.htm"), site.url("/c.htm")));
}

TEST(WebClassCrawl, FailedAndNonHtmlPagesAreNotStoredAndTheCrawlGoesOn) {
  TestHttpServer site;
  HttpResponse slow;
  slow.headers = {{"Content-Type", "text/html"}};
  slow.body = Links({"after-slow.htm"});
  slow.delay = std::chrono::milliseconds(3000);
  site.Serve("/slow.htm", slow);
  site.ServeHtml("/big.htm", std::string(5000, 'x'));
  HttpResponse text;
  text.headers = {{"Content-Type", "text/plain"}};
  text.body = Links({"from-text.htm"});
  site.Serve("/notes.htm", text);
  site.ServeHtml("/ok.htm", Links({}));
  site.ServeHtml("/index.htm",
                 Links({"missing.htm", "slow.htm", "big.htm", "notes.htm", "ok.htm"}));

  Crawl crawl(2);
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm"), site.url("/ok.htm")));
  EXPECT_THAT(crawl.failed,
              ElementsAre(site.url("/missing.htm"), site.url("/slow.htm"), site.url("/big.htm")));
  EXPECT_EQ(site.count("/from-text.htm"), 0);
  EXPECT_EQ(site.count("/after-slow.htm"), 0);
}

TEST(WebClassCrawl, StopEndsTheCrawlButCompletesIt) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", Links({}));
  site.ServeHtml("/b.htm", Links({}));
  Crawl crawl(1);
  crawl.web.stopRequested = [&] { return crawl.announced.size() >= 2; };
  crawl.Run(site.url("/index.htm"));
  EXPECT_THAT(crawl.announced, ElementsAre(site.url("/index.htm"), site.url("/a.htm")));
  EXPECT_EQ(site.count("/b.htm"), 0);
  EXPECT_TRUE(crawl.web.Stopped());
  EXPECT_EQ(crawl.completed, 1);
}

TEST(WebClassPage, RowHoldsTextTitleExactCaseAuthorAndDates) {
  TestHttpServer site;
  HttpResponse page;
  page.headers = {{"Content-Type", "text/html; charset=utf-8"},
                  {"Last-Modified", "Tue, 15 Nov 1994 12:45:26 GMT"}};
  page.body =
      "<html><head><title> Отчёт \n за год </title><meta name='author' content='low'>"
      "<meta name='Author' content='Анна'><meta name='Author' content='second'></head>"
      "<body><h1>Итоги</h1><p>Всё <b>хорошо</b></p><script>hidden()</script></body></html>";
  site.Serve("/report.htm", page);
  site.ServeHtml("/lower.htm", "<meta name=author content=Ann><p>x</p>");

  WebClass web(Quick());
  const WebPage loaded = web.OpenDoc(site.url("/report.htm"));
  const extract::FileInfo info = GetWebPageInfo(loaded);
  EXPECT_EQ(info.title, "Отчёт за год");
  EXPECT_EQ(info.author, "Анна");
  EXPECT_EQ(info.content, "Итоги\r\nВсё хорошо");
  EXPECT_EQ(info.location, site.url("/report.htm"));
  EXPECT_EQ(info.modified, base::FormatModified(784903526));
  EXPECT_EQ(info.type, "html");
  EXPECT_EQ(info.filesize, static_cast<std::int32_t>(base::CodePointCount(page.body)));

  EXPECT_EQ(GetWebPageInfo(web.OpenDoc(site.url("/lower.htm"))).author, "");
}

TEST(WebClassPage, HeaderCharsetOutranksThePageAndAByteOrderMarkOutranksBoth) {
  // "Привет" in Windows-1251 and KOI8-R.
  const std::string win = "\xCF\xF0\xE8\xE2\xE5\xF2";
  const std::string koi = "\xF0\xD2\xC9\xD7\xC5\xD4";
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
  EXPECT_EQ(read("text/html", "<p>" + win).text, "Привет");
  EXPECT_EQ(read("text/html; charset=\"windows-1251\"", "\xEF\xBB\xBF<p>Привет").text, "Привет");
  // A header charset that is not a name is left out.
  EXPECT_EQ(read("text/html; charset=a>b", "<p>" + win).text, "Привет");

  // The serialised length counts the characters of the decoded page, not its bytes.
  EXPECT_EQ(read("text/html; charset=koi8-r", "<p>" + koi + "</p>").serialisedLength, 13);
  EXPECT_EQ(read("text/html", "<p>Привет</p>").serialisedLength, 13);
}

TEST(WebClassPage, LinksResolveAgainstTheBaseElement) {
  TestHttpServer site;
  site.ServeHtml("/a/index.htm",
                 "<base href='/b/'><a href='x.htm'>1</a><a>no href</a><a href=''>self</a>");
  WebClass web(Quick());
  EXPECT_THAT(web.OpenDoc(site.url("/a/index.htm")).links,
              ElementsAre(site.url("/b/x.htm"), site.url("/b/")));
}

}  // namespace
}  // namespace zyl::indexer
