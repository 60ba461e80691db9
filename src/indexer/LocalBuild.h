// Building a new local index: collect the file list, extract every file into the new database,
// read the mailboxes, write the descriptor with the final counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/IndexDefinition.h"
#include "catalog/IndexTable.h"
#include "extract/ExtractOptions.h"
#include "indexer/Host.h"
#include "settings/Settings.h"

namespace zyl::indexer {

struct BuildResult {
  enum Outcome {
    kFinished,
    kStoppedWhileSearching,
    kStoppedWhileProcessing,
    kFailed
  } outcome = kFinished;
  std::int64_t filesCount = 0;
  std::int64_t filesSize = 0;
  std::int64_t failures = 0;
  std::string error;  // what went wrong when kFailed
};

// The options of one build, taken when it starts.
struct BuildOptions {
  unsigned workers = 0;                             // extraction threads; 0 = one per core
  std::size_t commitEvery = catalog::kCommitGroup;  // rows per transaction
  extract::ExtractOptions extract;                  // the PDF mode is replaced by the definition's

  // The options of the settings record (workers, readers, archivers, mail stores).
  static BuildOptions FromSettings(const settings::Settings& s);
};

// The mask list the build searches for, in the build's own order (it differs from the
// descriptor's): the chosen types, the archive masks, the user masks, then "*.pdf;".
std::string BuildMaskList(const catalog::IndexDefinition& def);

// Every file of the definition's folders matching the masks, folder after folder; files met
// twice stay twice. Folder events go to the host, which may stop the search.
std::vector<std::string> CollectIndexFiles(const catalog::IndexDefinition& def, Host& host,
                                           bool& stopped);

// The whole build. Never throws: failures come back in the result and the log.
BuildResult StartIndex(
    const catalog::IndexDefinition& def, Host& host,
    const BuildOptions& options = BuildOptions::FromSettings(settings::Config()));

}  // namespace zyl::indexer
