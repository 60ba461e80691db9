// Finds the messages of the Maildir folders among an index's folders. A Maildir is found by its
// shape, not by a mask: its message files have names of the mail program's choosing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalog/IndexDefinition.h"

namespace zyl::indexer {

// Appends to `files` the message files (extract::MaildirMessages) of every Maildir folder of the
// index, folder after folder, leaving out those `files` holds already (user masks such as "*"
// may have found them). A folder chosen with its subfolders is searched through its whole tree,
// parents before their subfolders, each folder's subfolders in name order; links to folders are not
// followed. A folder chosen alone counts when it is a Maildir itself, together with the
// ".Name" Maildir++ folders it holds. `onYield` runs after every folder; the walk ends early
// once `stopped` returns true. Folders that cannot be read are passed over. Never throws.
void AppendMaildirMessages(std::vector<std::string>& files,
                           const std::vector<catalog::IndexFolderEntry>& folders,
                           const std::function<void()>& onYield = {},
                           const std::function<bool()>& stopped = {});

}  // namespace zyl::indexer
