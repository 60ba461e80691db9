#include "indexer/WebBuild.h"

#include "base/Strings.h"
#include "catalog/DatabaseSink.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "catalog/IndexDatabase.h"
#include "catalog/IndexList.h"
#include "db/Ast.h"
#include "indexer/IndexStatistics.h"
#include "indexer/WebIndex.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::indexer {

BuildResult StartWebIndex(const catalog::IndexDefinition& def, Host& host,
                          const FetchLimits& limits) {
  const catalog::IndexBuildLock building(def.descriptorPath);
  BuildResult result;
  try {
    catalog::AddToRecentIndexList(def.descriptorPath);
    std::unique_ptr<catalog::DatabaseSink> sink;
    BeginWebBuild(host, [&] {
      catalog::CreateIndexDatabase(def.dbname);
      sink = std::make_unique<catalog::DatabaseSink>(def.dbname);
      sink->onMessage = host.Messages();
    });
    const WebCrawlResult crawl = CrawlIntoIndex(
        def.startUrl, def.depth, *sink, host, WebCrawlKind::Build,
        [&](const WebCrawlResult& r) {
          sink->Commit();
          catalog::IndexDefinition written = def;
          written.FilesSize = r.bytes;
          catalog::WriteWebDescriptor(written, r.pages);
        },
        limits);
    result.filesCount = crawl.pages;
    result.filesSize = crawl.bytes;
    if (crawl.stopped) result.outcome = BuildResult::kStoppedWhileProcessing;
  } catch (const std::exception& e) {
    result.outcome = BuildResult::kFailed;
    result.error = e.what();
    host.AddLogText(std::string("\r\n") + e.what() + "\r\n");
  }
  return result;
}

void ReindexWeb(const std::string& descriptorPath, const std::string& dbname, Host& host,
                const FetchLimits& limits) {
  catalog::IndexDefinition def;
  def.descriptorPath = descriptorPath;
  def.dbname = dbname;
  def.title = catalog::ReadGeneral(descriptorPath, "title");
  def.desc = catalog::DecodeMultiline(catalog::ReadGeneral(descriptorPath, "desc"));
  def.startUrl = catalog::ReadGeneral(descriptorPath, "StartUrl");
  def.depth =
      static_cast<std::int32_t>(base::ValInt(catalog::ReadGeneral(descriptorPath, "URLdept")));

  db::Database database = db::Database::Open(dbname);
  database.Execute(std::string("DELETE * FROM ") + db::kTableName);
  {
    catalog::DatabaseSink sink(dbname);
    sink.onMessage = host.Messages();
    CrawlIntoIndex(
        def.startUrl, def.depth, sink, host, WebCrawlKind::Update,
        [&](const WebCrawlResult& r) {
          sink.Commit();
          def.FilesSize = r.bytes;
          catalog::WriteWebDescriptor(def, r.pages);
        },
        limits);
  }
  // The size stays the crawl's byte count, written with the descriptor.
  catalog::WriteIndexFilesCount(descriptorPath, CountIndexTotals(database).filesCount);
  host.AddLogText("\r\n" + std::string(48, '_'));
}

}  // namespace zyl::indexer
