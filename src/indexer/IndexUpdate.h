// Bringing an index's database back in line with the disk: rows of vanished files are deleted,
// changed files re-read, new files added, mailboxes re-read whole, archive members refreshed,
// and the statistics of the descriptor recomputed. A web index is crawled again instead.
#pragma once

#include <string>

#include "catalog/IndexTable.h"
#include "extract/ExtractOptions.h"
#include "indexer/Host.h"
#include "indexer/HttpFetcher.h"
#include "settings/Settings.h"

namespace zyl::indexer {

// The options of one update, taken when it starts.
struct UpdateOptions {
  unsigned workers = 0;  // extraction threads for new files; 0 = one per core
  std::size_t commitEvery = catalog::kCommitGroup;  // rows per transaction
  extract::ExtractOptions extract;                  // the PDF mode is replaced by the index's own
  FetchLimits web;                                  // limits of a web index's crawl

  // The options of the settings record (workers, readers, archivers, mail stores, web limits).
  static UpdateOptions FromSettings(const settings::Settings& s);
};

// Updates one index. Never throws: a failure is logged and reported, and the update of the next
// index can go on. Returns false when the update could not be done.
bool UpdateIndex(const std::string& descriptorPath, Host& host,
                 const UpdateOptions& options = UpdateOptions::FromSettings(settings::Config()));

// The batch update of the command line: the log text that UpdateIndex wrote, or the line for a
// missing descriptor; written to `logFile` when that is not empty. `updated`, when given, is set
// to whether the update was done (false for a missing descriptor, a database that could not be
// opened or written, a descriptor that could not be rewritten), so that scripts can tell.
std::string RunBatchUpdate(
    const std::string& descriptorPath, const std::string& logFile, Host* progress = nullptr,
    bool* updated = nullptr,
    const UpdateOptions& options = UpdateOptions::FromSettings(settings::Config()));

}  // namespace zyl::indexer
