// Building and re-indexing web indexes: the database and descriptor steps around the crawl.
#pragma once

#include <string>

#include "catalog/IndexDefinition.h"
#include "indexer/Host.h"
#include "indexer/HttpFetcher.h"
#include "indexer/LocalBuild.h"

namespace zyl::indexer {

// The web build: the index enters the recent list, the template is copied, the site is crawled
// from def.startUrl down to def.depth, and the descriptor is written with the totals.
BuildResult StartWebIndex(const catalog::IndexDefinition& def, Host& host,
                          const FetchLimits& limits = FetchLimits::FromConfig());

// The web branch of an update: every row is deleted and the site crawled again.
void ReindexWeb(const std::string& descriptorPath, const std::string& dbname, Host& host,
                const FetchLimits& limits);

}  // namespace zyl::indexer
