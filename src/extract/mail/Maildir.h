// The shape of a Maildir mail folder: a folder holding the three folders cur/, new/ and tmp/.
// Every file of cur/ and new/ is one message; tmp/ holds messages still being delivered, which
// are never read. A Maildir++ store keeps its other folders as ".Name" subfolders of the same
// shape inside the top folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zyl::extract {

// True when the folder holds the folders cur, new and tmp (links to folders count). Never fails.
bool IsMaildirFolder(std::string_view folder);

// True when the path names a file in the cur/ or new/ folder of a Maildir folder. Only paths
// whose parent folder is named "cur" or "new" touch the disk.
bool IsMaildirMessage(std::string_view path);

// Full paths of the messages of a Maildir folder: the regular files of cur/, then of new/, each
// in name order (byte order). Names beginning with "." are not messages (mail programs use
// them for their own working files). Empty when the folders cannot be read.
std::vector<std::string> MaildirMessages(std::string_view folder);

}  // namespace zyl::extract
