// Filling a web index: the crawl of the web build and of the web re-index, storing every page
// reached for the first time as one row and writing the log of the build or update window.
//
// The caller owns the database and the descriptor. A web build runs
//   BeginWebBuild(host, [&] { copy the template database, open it });
//   CrawlIntoIndex(url, depth, sink, host, WebCrawlKind::Build,
//                  [&](const WebCrawlResult& r) { write the descriptor with r });
// and a web re-index deletes every row first, then runs CrawlIntoIndex with
// WebCrawlKind::Update, and afterwards counts the rows into FilesCount.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "catalog/ContentStore.h"
#include "indexer/Host.h"
#include "indexer/HttpFetcher.h"

namespace zyl::indexer {

enum class WebCrawlKind { Build, Update };

struct WebCrawlResult {
  std::int64_t pages = 0;  // pages stored as rows
  std::int64_t bytes = 0;  // the sum of their filesize
  bool stopped = false;    // the host asked to stop before the crawl was through
};

// The build's opening lines around the creation of the database: "Создаем индекс...", then
// createDatabase() runs, then "успешно." and "Обработка веб страниц." on lines of their own.
// An exception of createDatabase propagates after the first text.
void BeginWebBuild(Host& host, const std::function<void()>& createDatabase);

// Crawls from `startUrl` down to `depth` link levels, following links to .htm and .html pages
// and to addresses ending in "/", on any host. Every HTML page reached for the first time (by
// its final address) is appended to `sink` through SaveContentInfo, with a log line of its
// address and the success text of the build or the update. A page that fails to load gets a
// log line saying why and the crawl goes on. When the crawl is through (or stopped through
// host.StopRequested()), `beforeSummary` runs with the totals (the caller writes the
// descriptor there) and the closing lines of the build or update are logged.
WebCrawlResult CrawlIntoIndex(std::string_view startUrl, std::int32_t depth,
                              catalog::ContentSink& sink, Host& host, WebCrawlKind kind,
                              const std::function<void(const WebCrawlResult&)>& beforeSummary = {},
                              const FetchLimits& limits = FetchLimits::FromConfig());

}  // namespace zyl::indexer
