#include "indexer/WebIndex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "settings/Settings.h"
#include "support/TestHttpServer.h"

namespace zyl::indexer {
namespace {

using test::HttpResponse;
using test::TestHttpServer;

class RecordingHost : public Host {
 public:
  std::string log;
  std::function<bool()> stop;
  void AddLogText(std::string_view text) override { log += text; }
  bool StopRequested() override { return stop && stop(); }
};

class RowSink : public extract::ContentSink {
 public:
  std::vector<extract::FileInfo> rows;
  std::string refuse;  // location whose append fails
  void AppendRow(const extract::FileInfo& row) override {
    if (row.location == refuse) throw extract::ContentSinkError(3022, "duplicate");
    rows.push_back(row);
  }
  std::vector<std::string> locations() const {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.location);
    return out;
  }
};

FetchLimits Quick() {
  FetchLimits limits;
  limits.requestTimeout = 1;
  return limits;
}

std::string Links(std::initializer_list<std::string> hrefs) {
  std::string html = "<title>page</title><body>text";
  for (const std::string& href : hrefs) html += "<a href=\"" + href + "\">link</a>";
  return html;
}

TEST(WebIndex, BuildLogsEveryPageAndTheTotals) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "a.htm", "missing.htm"}));
  site.ServeHtml("/a.htm", "<title>A</title><meta name=Author content=Ann><p>Alpha</p>");
  RecordingHost host;
  RowSink sink;

  std::string logAtCreation;
  BeginWebBuild(host, [&] { logAtCreation = host.log; });
  EXPECT_EQ(logAtCreation, "Создаем индекс...");

  std::string logAtEnd;
  WebCrawlResult seen;
  const WebCrawlResult result = CrawlIntoIndex(
      site.url("/index.htm"), 1, sink, host, WebCrawlKind::Build,
      [&](const WebCrawlResult& r) {
        seen = r;
        logAtEnd = host.log;
      },
      Quick());

  const std::string pages = site.url("/index.htm") + "...успешно.\r\n" + site.url("/a.htm") +
                            "...успешно.\r\n" + site.url("/missing.htm") + "... HTTP status 404\r\n";
  EXPECT_EQ(host.log, "Создаем индекс...успешно.\r\nОбработка веб страниц.\r\n" + pages +
                          "Обработка закончена.\r\nОбработано страниц: 2\r\n");
  EXPECT_EQ(logAtEnd, "Создаем индекс...успешно.\r\nОбработка веб страниц.\r\n" + pages);

  ASSERT_EQ(sink.rows.size(), 2u);
  const extract::FileInfo& a = sink.rows[1];
  EXPECT_EQ(a.location, site.url("/a.htm"));
  EXPECT_EQ(a.title, "A");
  EXPECT_EQ(a.author, "Ann");
  EXPECT_EQ(a.content, "Alpha");
  EXPECT_EQ(a.type, "html");
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(result.bytes, sink.rows[0].filesize + sink.rows[1].filesize);
  EXPECT_EQ(seen.pages, result.pages);
  EXPECT_EQ(seen.bytes, result.bytes);
  EXPECT_FALSE(result.stopped);
}

TEST(WebIndex, ReindexLeavesNoRowForAPageThatDisappeared) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", Links({}));
  site.ServeHtml("/b.htm", Links({}));
  RecordingHost first;
  RowSink built;
  CrawlIntoIndex(site.url("/index.htm"), 1, built, first, WebCrawlKind::Build, {}, Quick());
  EXPECT_EQ(built.rows.size(), 3u);

  site.Remove("/b.htm");
  RecordingHost host;
  RowSink reindexed;  // the caller deleted every row before the crawl
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, reindexed, host, WebCrawlKind::Update, {}, Quick());
  EXPECT_THAT(reindexed.locations(),
              ::testing::ElementsAre(site.url("/index.htm"), site.url("/a.htm")));
  EXPECT_EQ(result.pages, 2);
  EXPECT_EQ(host.log, site.url("/index.htm") + "...успешно.\r\n" + site.url("/a.htm") +
                          "...успешно.\r\n" + site.url("/b.htm") +
                          "... HTTP status 404\r\nОбработка закончена\r\nОбработано страниц:  2\r\n");
}

TEST(WebIndex, RowThatCannotBeStoredIsReportedAndNotCounted) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", Links({}));
  site.ServeHtml("/b.htm", Links({}));
  std::vector<std::string> messages;
  base::ScopedMessageHandler handler([&](const base::Message& m) { messages.push_back(m.text); });
  RecordingHost host;
  RowSink sink;
  sink.refuse = site.url("/a.htm");
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, sink, host, WebCrawlKind::Build, {}, Quick());
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(result.pages, 2);
  EXPECT_NE(host.log.find(site.url("/a.htm") + "...\r\n" + site.url("/b.htm") + "...успешно.\r\n"),
            std::string::npos)
      << host.log;
}

TEST(WebIndex, LimitsComeFromTheSettings) {
  TestHttpServer site;
  HttpResponse slow;
  slow.headers = {{"Content-Type", "text/html"}};
  slow.delay = std::chrono::milliseconds(3000);
  site.Serve("/slow.htm", slow);
  site.ServeHtml("/big.htm", std::string(3000, 'x'));
  site.ServeHtml("/index.htm", Links({"slow.htm", "big.htm"}));

  settings::Settings saved = settings::Config();
  settings::Config().RequestTimeout = 1;
  settings::Config().MaxPageSize = 2000;
  RecordingHost host;
  RowSink sink;
  const WebCrawlResult result =
      CrawlIntoIndex(site.url("/index.htm"), 1, sink, host, WebCrawlKind::Build);
  settings::Config() = saved;

  EXPECT_EQ(result.pages, 1);
  EXPECT_NE(host.log.find(site.url("/slow.htm") + "... Operation timed out"), std::string::npos)
      << host.log;
  EXPECT_NE(host.log.find(site.url("/big.htm") + "... the page is larger than 2000 bytes\r\n"),
            std::string::npos);
}

TEST(WebIndex, StopEndsTheCrawlWithTheClosingLines) {
  TestHttpServer site;
  site.ServeHtml("/index.htm", Links({"a.htm", "b.htm"}));
  site.ServeHtml("/a.htm", Links({}));
  site.ServeHtml("/b.htm", Links({}));
  RecordingHost host;
  RowSink sink;
  host.stop = [&] { return !sink.rows.empty(); };
  bool described = false;
  const WebCrawlResult result = CrawlIntoIndex(
      site.url("/index.htm"), 1, sink, host, WebCrawlKind::Update,
      [&](const WebCrawlResult& r) { described = r.stopped; }, Quick());
  EXPECT_TRUE(result.stopped);
  EXPECT_TRUE(described);
  EXPECT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(host.log,
            site.url("/index.htm") + "...успешно.\r\nОбработка закончена\r\nОбработано страниц:  1\r\n");
}

}  // namespace
}  // namespace zyl::indexer
