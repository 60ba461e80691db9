#include "indexer/WebIndex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "settings/Settings.h"
#include "support/RecordingHost.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::LinkPage;
using test::TestHttpServer;

using test::RecordingHost;

struct RowSink : catalog::ContentSink {
  std::vector<catalog::FileInfo> rows;
  std::string refuse;  // location whose append fails
  void AppendRow(const catalog::FileInfo& row) override {
    if (row.location == refuse) throw catalog::ContentSinkError(3022, "duplicate");
    rows.push_back(row);
  }
};

// index.htm links to a.htm and b.htm.
struct SmallSite {
  TestHttpServer server;
  SmallSite() {
    server.ServeHtml("/index.htm", LinkPage({"a.htm", "a.htm", "b.htm"}));
    server.ServeHtml("/a.htm", "<title>A</title><meta name=Author content=Ann><p>Alpha</p>");
    server.ServeHtml("/b.htm", LinkPage({}));
  }
  std::string url(std::string_view path) const { return server.url(path); }
};

TEST(WebIndex, BuildLogsEveryPageAndTheTotals) {
  SmallSite site;
  site.server.Remove("/b.htm");
  RecordingHost host;
  RowSink sink;
  std::string logAtCreation, logAtEnd;
  BeginWebBuild(host, [&] { logAtCreation = host.log; });
  EXPECT_EQ(logAtCreation, "Создаем индекс...");

  WebCrawlResult seen;
  const WebCrawlResult result = CrawlIntoIndex(site.url("/index.htm"), 1, sink, host,
                                               WebCrawlKind::Build, [&](const WebCrawlResult& r) {
                                                 seen = r;
                                                 logAtEnd = host.log;
                                               });
  const std::string pages = site.url("/index.htm") + "...успешно.\r\n" + site.url("/a.htm") +
                            "...успешно.\r\n" + site.url("/b.htm") + "... HTTP status 404\r\n";
  EXPECT_EQ(logAtEnd, "Создаем индекс...успешно.\r\nОбработка веб страниц.\r\n" + pages);
  EXPECT_EQ(host.log, logAtEnd + "Обработка закончена.\r\nОбработано страниц: 2\r\n");

  ASSERT_EQ(sink.rows.size(), 2u);
  const catalog::FileInfo& a = sink.rows[1];
  EXPECT_EQ(a.location, site.url("/a.htm"));
  EXPECT_EQ(a.title, "A");
  EXPECT_EQ(a.author, "Ann");
  EXPECT_EQ(a.content, "Alpha");
  EXPECT_EQ(a.type, "html");
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(result.bytes, sink.rows[0].filesize + a.filesize);
  EXPECT_EQ(seen.pages, 2);
  EXPECT_EQ(seen.bytes, result.bytes);
}

TEST(WebIndex, ReindexLeavesNoRowForAPageThatDisappeared) {
  SmallSite site;
  RecordingHost first, host;
  RowSink built, reindexed;  // the caller deletes every row before a re-index
  CrawlIntoIndex(site.url("/index.htm"), 1, built, first, WebCrawlKind::Build);
  EXPECT_EQ(built.rows.size(), 3u);

  site.server.Remove("/a.htm");
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, reindexed, host, WebCrawlKind::Update);
  ASSERT_EQ(reindexed.rows.size(), 2u);
  EXPECT_EQ(reindexed.rows[1].location, site.url("/b.htm"));
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(host.log, site.url("/index.htm") + "...успешно.\r\n" + site.url("/a.htm") +
                          "... HTTP status 404\r\n" + site.url("/b.htm") +
                          "...успешно.\r\nОбработка закончена\r\nОбработано страниц:  2\r\n");
}

TEST(WebIndex, RowThatCannotBeStoredIsReportedAndNotCounted) {
  SmallSite site;
  RecordingHost host;
  RowSink sink;
  sink.onMessage = host.Messages();
  sink.refuse = site.url("/a.htm");
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, sink, host, WebCrawlKind::Build);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(result.pages, 2);
  EXPECT_NE(host.log.find(site.url("/a.htm") + "...\r\n" + site.url("/b.htm") + "...успешно.\r\n"),
            std::string::npos)
      << host.log;
}

TEST(WebIndex, LimitsComeFromTheSettings) {
  SmallSite site;
  HttpResponse slow;
  slow.delay = std::chrono::milliseconds(3000);
  site.server.Serve("/a.htm", slow);
  site.server.ServeHtml("/b.htm", std::string(3000, 'x'));
  const settings::Settings saved = settings::Config();
  settings::Config().RequestTimeout = 1;
  settings::Config().MaxPageSize = 2000;
  RecordingHost host;
  RowSink sink;
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, sink, host, WebCrawlKind::Build);
  settings::Config() = saved;

  EXPECT_EQ(result.pages, 1);
  EXPECT_NE(host.log.find(site.url("/a.htm") + "... Operation timed out"), std::string::npos)
      << host.log;
  EXPECT_NE(host.log.find(site.url("/b.htm") + "... the page is larger than 2000 bytes\r\n"),
            std::string::npos);
}

TEST(WebIndex, StopEndsTheCrawlWithTheClosingLines) {
  SmallSite site;
  RecordingHost host;
  RowSink sink;
  host.stopWhen = [&](const std::string&) { return !sink.rows.empty(); };
  bool stoppedBeforeSummary = false;
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, sink, host, WebCrawlKind::Update,
                     [&](const WebCrawlResult& r) { stoppedBeforeSummary = r.stopped; });
  EXPECT_TRUE(result.stopped);
  EXPECT_TRUE(stoppedBeforeSummary);
  EXPECT_EQ(site.server.count("/a.htm"), 0);
  EXPECT_EQ(host.log, site.url("/index.htm") +
                          "...успешно.\r\nОбработка закончена\r\nОбработано страниц:  1\r\n");
}

}  // namespace
}  // namespace zyl::indexer
