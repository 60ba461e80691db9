#include "indexer/HttpFetcher.h"

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::TestHttpServer;

FetchLimits Quick() {
  FetchLimits limits;
  limits.connectTimeout = 2;
  limits.requestTimeout = 1;
  limits.maxPageSize = 1000;
  limits.maxRedirects = 2;
  return limits;
}

TEST(HttpFetcher, LoadsPageWithStatusTypeAndIdentifiesItself) {
  TestHttpServer server;
  server.ServeHtml("/a.htm", "<p>hello</p>");
  HttpFetcher fetcher(Quick());
  const FetchResult r = fetcher.Get(server.url("/a.htm"));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "<p>hello</p>");
  EXPECT_EQ(r.contentType, "text/html");
  EXPECT_EQ(r.finalUrl, server.url("/a.htm"));
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_NE(server.requests()[0].head.find("User-Agent: ZYL/0.1 (document indexer)"),
            std::string::npos);

  // The same handle serves the next request; a missing page is a response, not a failure.
  const FetchResult missing = fetcher.Get(server.url("/none.htm"));
  EXPECT_TRUE(missing.ok);
  EXPECT_EQ(missing.status, 404);
}

TEST(HttpFetcher, FollowsRedirectsUpToTheLimit) {
  TestHttpServer a, b;
  a.Redirect("/old.htm", b.url("/mid.htm"));
  b.Redirect("/mid.htm", "/new.htm", 301);
  b.ServeHtml("/new.htm", "new");
  HttpFetcher fetcher(Quick());
  const FetchResult r = fetcher.Get(a.url("/old.htm"));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.finalUrl, b.url("/new.htm"));
  EXPECT_EQ(r.body, "new");

  a.Redirect("/loop.htm", "/loop.htm");
  const FetchResult loop = fetcher.Get(a.url("/loop.htm"));
  EXPECT_FALSE(loop.ok);
  EXPECT_FALSE(loop.error.empty());
  EXPECT_EQ(a.count("/loop.htm"), 3);  // the first request and two redirects
}

TEST(HttpFetcher, ModifiedComesFromLastModifiedElseTheFetchTime) {
  TestHttpServer server;
  HttpResponse dated;
  dated.headers = {{"Content-Type", "text/html"},
                   {"Last-Modified", "Tue, 15 Nov 1994 12:45:26 GMT"}};
  server.Serve("/dated.htm", dated);
  server.ServeHtml("/plain.htm", "x");
  HttpFetcher fetcher(Quick());
  EXPECT_EQ(fetcher.Get(server.url("/dated.htm")).modified, base::FormatModified(784903526));

  const std::string before = base::FormatModified(base::Now());
  const std::string modified = fetcher.Get(server.url("/plain.htm")).modified;
  const std::string after = base::FormatModified(base::Now());
  EXPECT_LE(before, modified);
  EXPECT_LE(modified, after);
}

TEST(HttpFetcher, FailsOnSlowOversizedRefusedAndForeignAddresses) {
  TestHttpServer server;
  HttpResponse slow;
  slow.body = "late";
  slow.delay = std::chrono::milliseconds(4000);
  server.Serve("/slow.htm", slow);
  HttpResponse big;
  big.body = std::string(5000, 'x');
  server.Serve("/big.htm", big);
  big.sendLength = false;  // only the bytes themselves show the size
  server.Serve("/big-unannounced.htm", big);
  HttpFetcher fetcher(Quick());

  const FetchResult timedOut = fetcher.Get(server.url("/slow.htm"));
  EXPECT_FALSE(timedOut.ok);
  EXPECT_NE(timedOut.error.find("timed out"), std::string::npos) << timedOut.error;

  for (const char* target : {"/big.htm", "/big-unannounced.htm"}) {
    const FetchResult r = fetcher.Get(server.url(target));
    EXPECT_FALSE(r.ok) << target;
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
  FetchLimits limits = Quick();
  limits.requestTimeout = 30;
  HttpFetcher fetcher(limits);
  fetcher.SetAbortCheck([] { return true; });
  const FetchResult r = fetcher.Get(server.url("/slow.htm"));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "stopped");
}

TEST(HttpFetcher, BlanksAreEncodedInTheRequest) {
  TestHttpServer server;
  server.ServeHtml("/my%20page%20x.htm", "found");
  HttpFetcher fetcher(Quick());
  const FetchResult r = fetcher.Get(server.url("/my page x.htm"));
  EXPECT_EQ(r.body, "found");
  EXPECT_EQ(r.finalUrl, server.url("/my%20page%20x.htm"));
}

TEST(Urls, ResolveLikeABrowserLink) {
  const std::string base = "http://h.org/dir/page.htm#top";
  EXPECT_EQ(ResolveUrl(base, "next.htm"), "http://h.org/dir/next.htm");
  EXPECT_EQ(ResolveUrl(base, "../up.html"), "http://h.org/up.html");
  EXPECT_EQ(ResolveUrl(base, "/root/"), "http://h.org/root/");
  EXPECT_EQ(ResolveUrl(base, "//other.net:81/x.htm"), "http://other.net:81/x.htm");
  EXPECT_EQ(ResolveUrl(base, "https://s.net/a.htm"), "https://s.net/a.htm");
  EXPECT_EQ(ResolveUrl(base, "?q=1"), "http://h.org/dir/page.htm?q=1");
  EXPECT_EQ(ResolveUrl(base, ""), "http://h.org/dir/page.htm");
  EXPECT_EQ(ResolveUrl(base, "#sec"), "http://h.org/dir/page.htm#sec");
  EXPECT_EQ(ResolveUrl(base, " \n my\tpage.htm \r\n"), "http://h.org/dir/mypage.htm");
  EXPECT_EQ(ResolveUrl(base, "my page+x.htm"), "http://h.org/dir/my%20page+x.htm");
  EXPECT_EQ(ResolveUrl(base, "my%20page.htm"), "http://h.org/dir/my%20page.htm");

  // Nothing but http and https is ever loaded.
  for (const char* href :
       {"mailto:ann@h.org.htm", "javascript:go('a.htm')", "file:///etc/x.htm", "ftp://h.org/a.htm"})
    EXPECT_EQ(ResolveUrl(base, href), std::nullopt) << href;
  EXPECT_EQ(ResolveUrl("not a url", "a.htm"), std::nullopt);
}

TEST(Urls, RequestFormAndContentTypes) {
  EXPECT_EQ(RequestUrl("http://h/a b.htm"), "http://h/a%20b.htm");
  EXPECT_EQ(RequestUrl("http://h/%41.htm"), "http://h/%41.htm");
  EXPECT_EQ(RequestUrl("http://h/a\nb"), std::nullopt);
  EXPECT_EQ(RequestUrl(std::string("http://h/a\0b", 12)), std::nullopt);
  EXPECT_EQ(RequestUrl("file:///etc/passwd"), std::nullopt);
  EXPECT_EQ(WithoutFragment("http://h/a.htm?x#y#z"), "http://h/a.htm?x");

  EXPECT_EQ(CharsetOfContentType("text/html; Charset=\"KOI8-R\" ; x=1"), "KOI8-R");
  EXPECT_EQ(CharsetOfContentType("text/html"), "");
  EXPECT_TRUE(IsHtmlResponse("text/html; charset=koi8-r", ""));
  EXPECT_TRUE(IsHtmlResponse("Text/HTML", ""));
  EXPECT_TRUE(IsHtmlResponse("application/xhtml+xml", ""));
  EXPECT_FALSE(IsHtmlResponse("application/pdf", "<html>"));
  EXPECT_FALSE(IsHtmlResponse("text/plain", "<html>"));
  EXPECT_TRUE(IsHtmlResponse("", "\r\n <html>"));
  EXPECT_FALSE(IsHtmlResponse("", "%PDF-1.4"));
}

}  // namespace
}  // namespace zyl::indexer
