// The steps a build and an update share: collecting the files of an index's folders and
// extracting a file list on several threads with the results handed on in list order.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalog/IndexDefinition.h"
#include "extract/ExtractOptions.h"
#include "extract/FileInfo.h"
#include "extract/mail/Mail.h"
#include "indexer/FilesRetClass.h"

namespace zyl::indexer {

// Every file of the folders matching the masks, folder after folder (subfolders included where
// the folder says so); files met twice stay twice. `finder` carries the caller's events; the
// walk stops between folders once `stopped` returns true.
std::vector<std::string> CollectFiles(const std::vector<catalog::IndexFolderEntry>& folders,
                                      const std::string& masks, FilesRetClass& finder,
                                      const std::function<bool()>& stopped = {});

// Extracts files[0..n) with `options` on the run's workers and hands each result to `consume`
// on the calling thread in list order; `consume` returns false to stop. Files for which `skip`
// is true are not read (an empty record is handed on). Throws what `consume` throws.
void ExtractInOrder(const std::vector<std::string>& files, const extract::ExtractOptions& options,
                    unsigned workers,
                    const std::function<bool(std::size_t, extract::FileInfo&&)>& consume,
                    const std::function<bool(const std::string&)>& skip = {});

// The mailbox kinds an index may hold: the descriptor flag, the stored type, the reader, and
// the log texts of the build ("<buildName> mailbox...done") and of the update.
struct MailboxKind {
  bool catalog::IndexDefinition::*flag;
  const char* type;
  extract::MailCounts (*read)(catalog::ContentSink&, const extract::MailOptions&);
  const char* buildName;
  const char* updateLine;
};
const std::vector<MailboxKind>& MailboxKinds();

}  // namespace zyl::indexer
