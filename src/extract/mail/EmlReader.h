// Saved mail: one message in a file of its own, either a saved .eml file or a message file of a
// Maildir folder. The message is read as the mailbox readers read each message of a mailbox, so
// its text, title (subject) and author (sender) are those a mailbox row would have; the file's
// own size and time stay those of the file, so that an update sees a changed message as it sees
// a changed document.
#pragma once

#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// The message of an .eml file, stored type "eml". Reads a leading part of at most
// MaxMarkupBytes (textCut set when the file held more). Never throws; a file that cannot be
// read gives ErrorInfo().
FileInfo GetEmlInfo(std::string_view path);

// The same reading for one message file of a Maildir folder, stored type "maildir".
FileInfo GetMaildirInfo(std::string_view path);

}  // namespace zyl::extract
