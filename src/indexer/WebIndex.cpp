#include "indexer/WebIndex.h"

#include <string>

#include "base/Strings.h"
#include "indexer/WebClass.h"
#include "settings/LangKeys.h"

namespace zyl::indexer {

using settings::LangString;

void BeginWebBuild(Host& host, const std::function<void()>& createDatabase) {
  host.AddLogText(LangString(settings::kWebBuildCreating));
  if (createDatabase) createDatabase();
  host.AddLogText(LangString(settings::kWebBuildSuccess) + "\r\n");
  host.AddLogText(LangString(settings::kWebBuildProcessingPages) + "\r\n");
  host.Yield();
}

WebCrawlResult CrawlIntoIndex(std::string_view startUrl, std::int32_t depth,
                              catalog::ContentSink& sink, Host& host, WebCrawlKind kind,
                              const std::function<void(const WebCrawlResult&)>& beforeSummary,
                              const FetchLimits& limits) {
  const bool update = kind == WebCrawlKind::Update;
  const std::string stored = update ? LangString(settings::kUpdateSuccess) + ".\r\n"
                                    : LangString(settings::kWebBuildSuccess) + "\r\n";
  WebCrawlResult result;

  WebClass crawler(limits);
  crawler.SetExploreDefault(true);
  crawler.SetRitrievalFilesExt("htm;html");
  crawler.SetMaxExploreDepth(depth);
  crawler.stopRequested = [&host] { return host.StopRequested(); };
  crawler.onYield = [&host] { host.Yield(); };
  crawler.onExploreNewDocument = [&](const WebPage& page) {
    const extract::FileInfo info = GetWebPageInfo(page);
    host.AddLogText(info.location + "...");
    // A row that could not be stored has been reported by SaveContentInfo; it is neither
    // counted nor logged as stored.
    if (catalog::SaveContentInfo(sink, info)) {
      ++result.pages;
      result.bytes += info.filesize;
      host.AddLogText(stored);
    } else {
      host.AddLogText("\r\n");
    }
  };
  crawler.onLoadFailed = [&host](const WebPage& page) {
    host.AddLogText(page.address + "... " + page.error + "\r\n");
  };
  crawler.onExploreComplete = [&] {
    result.stopped = crawler.Stopped();
    if (beforeSummary) beforeSummary(result);
    if (update) {
      host.AddLogText(LangString(settings::kUpdateWebFinished) + "\r\n");
      host.AddLogText(LangString(settings::kUpdateWebPagesProcessed) + ": " +
                      base::StrNum(result.pages) + "\r\n");
    } else {
      host.AddLogText(LangString(settings::kWebBuildFinished) + "\r\n");
      host.AddLogText(LangString(settings::kWebBuildPagesProcessed) + base::StrNum(result.pages) +
                      "\r\n");
    }
  };
  crawler.GetSubWebPages(startUrl);
  return result;
}

}  // namespace zyl::indexer
