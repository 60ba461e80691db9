// Building a new local index: collect the file list, extract every file into the new database,
// read the mailboxes, write the descriptor with the final counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/IndexDefinition.h"
#include "indexer/Host.h"

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

struct BuildOptions {
  unsigned workers = 0;           // extraction threads; 0 = one per core
  std::size_t commitEvery = 300;  // rows per transaction
};

// The mask list the build searches for, in the build's own order (it differs from the
// descriptor's): the chosen types, the archive masks, the user masks, then "*.pdf;".
std::string BuildMaskList(const catalog::IndexDefinition& def);

// Every file of the definition's folders matching the masks, folder after folder; files met
// twice stay twice. Folder events go to the host, which may stop the search.
std::vector<std::string> CollectIndexFiles(const catalog::IndexDefinition& def, Host& host,
                                           bool& stopped);

// The whole build. Never throws: failures come back in the result and the log.
BuildResult StartIndex(const catalog::IndexDefinition& def, Host& host,
                       const BuildOptions& options = {});

}  // namespace zyl::indexer
