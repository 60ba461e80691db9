#include "indexer/HttpFetcher.h"

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::TestHttpServer;

FetchLimits Small() {
  FetchLimits limits;
  limits.maxPageSize = 1000;
  limits.maxRedirects = 2;
  return limits;
}

TEST(HttpFetcher, LoadsPagesWithTheirDetailsAndIdentifiesItself) {
  TestHttpServer server;
  HttpResponse dated;
  dated.headers = {{"Content-Type", "text/html"},
                   {"Last-Modified", "Tue, 15 Nov 1994 12:45:26 GMT"}};
  dated.body = "<p>hello</p>";
  server.Serve("/dated.htm", dated);
  server.Redirect("/old.htm", "/plain.htm");
  server.ServeHtml("/plain.htm", "x");
  HttpFetcher fetcher(Small());

  const FetchResult r = fetcher.Get(server.url("/dated.htm"));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "<p>hello</p>");
  EXPECT_EQ(r.contentType, "text/html");
  EXPECT_EQ(r.modified, base::FormatModified(784903526));
  EXPECT_NE(server.requests()[0].head.find("User-Agent: ZYL/0.1 (document indexer)"),
            std::string::npos);

  // Without Last-Modified, the time of the fetch; the final address follows the redirect.
  const std::string before = base::FormatModified(base::Now());
  const FetchResult redirected = fetcher.Get(server.url("/old.htm"));
  EXPECT_EQ(redirected.finalUrl, server.url("/plain.htm"));
  EXPECT_LE(before, redirected.modified);
  EXPECT_LE(redirected.modified, base::FormatModified(base::Now()));

  // A missing page is a response, not a failed transfer.
  EXPECT_EQ(fetcher.Get(server.url("/none.htm")).status, 404);
}

TEST(HttpFetcher, FailsPastTheLimitsAndOutsideTheWeb) {
  TestHttpServer server;
  server.Redirect("/loop.htm", "/loop.htm");
  HttpResponse big;
  big.body = std::string(5000, 'x');
  server.Serve("/big.htm", big);
  big.sendLength = false;  // only the bytes themselves show the size
  server.Serve("/big-unannounced.htm", big);
  HttpFetcher fetcher(Small());

  EXPECT_FALSE(fetcher.Get(server.url("/loop.htm")).ok);
  EXPECT_EQ(server.count("/loop.htm"), 3);  // the request and two redirects
  for (const char* target : {"/big.htm", "/big-unannounced.htm"}) {
    const FetchResult r = fetcher.Get(server.url(target));
    EXPECT_EQ(r.error, "the page is larger than 1000 bytes") << target;
    EXPECT_TRUE(r.body.empty());
  }
  int closedPort;
  {
    TestHttpServer gone;
    closedPort = gone.port();
  }
  EXPECT_FALSE(fetcher.Get("http://127.0.0.1:" + std::to_string(closedPort) + "/").ok);
  const FetchResult local = fetcher.Get("file:///etc/passwd");
  EXPECT_FALSE(local.ok);
  EXPECT_TRUE(local.body.empty());
}

TEST(HttpFetcher, StopsATransferWhenAsked) {
  TestHttpServer server;
  HttpResponse slow;
  slow.delay = std::chrono::milliseconds(4000);
  server.Serve("/slow.htm", slow);
  HttpFetcher fetcher;
  fetcher.SetAbortCheck([] { return true; });
  EXPECT_EQ(fetcher.Get(server.url("/slow.htm")).error, "stopped");
}

TEST(Urls, ResolveLikeABrowserLink) {
  const std::string base = "http://h.org/dir/page.htm#top";
  EXPECT_EQ(ResolveUrl(base, "../up.html"), "http://h.org/up.html");
  EXPECT_EQ(ResolveUrl(base, "//other.net:81/x.htm"), "http://other.net:81/x.htm");
  EXPECT_EQ(ResolveUrl(base, "?q=1"), "http://h.org/dir/page.htm?q=1");
  EXPECT_EQ(ResolveUrl(base, ""), "http://h.org/dir/page.htm");
  EXPECT_EQ(ResolveUrl(base, "#sec"), "http://h.org/dir/page.htm#sec");
  EXPECT_EQ(ResolveUrl(base, " \n my\tpage.htm \r\n"), "http://h.org/dir/mypage.htm");
  EXPECT_EQ(ResolveUrl(base, "my page+x.htm"), "http://h.org/dir/my%20page+x.htm");
  // Nothing but http and https is ever loaded.
  for (const char* href :
       {"mailto:ann@h.org.htm", "javascript:go('a.htm')", "file:///etc/x.htm", "ftp://h.org/a.htm"})
    EXPECT_EQ(ResolveUrl(base, href), std::nullopt) << href;

  EXPECT_EQ(RequestUrl("http://h/a b.htm"), "http://h/a%20b.htm");
  EXPECT_EQ(RequestUrl("http://h/a\nb"), std::nullopt);
  EXPECT_EQ(RequestUrl(std::string("http://h/a\0b", 12)), std::nullopt);
  EXPECT_EQ(WithoutFragment("http://h/a.htm?x#y#z"), "http://h/a.htm?x");
}

TEST(Urls, ContentTypes) {
  EXPECT_EQ(CharsetOfContentType("text/html; Charset=\"KOI8-R\" ; x=1"), "KOI8-R");
  EXPECT_EQ(CharsetOfContentType("text/html"), "");
  EXPECT_TRUE(IsHtmlResponse("Text/HTML; charset=koi8-r", ""));
  EXPECT_TRUE(IsHtmlResponse("application/xhtml+xml", ""));
  EXPECT_FALSE(IsHtmlResponse("text/plain", "<html>"));
  EXPECT_TRUE(IsHtmlResponse("", "\r\n <html>"));
  EXPECT_FALSE(IsHtmlResponse("", "%PDF-1.4"));
}

}  // namespace
}  // namespace zyl::indexer
