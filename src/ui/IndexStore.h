// The manager's few calls into the index store: the recent index list and the deletion of an
// index, with the manager's own rule for an entry whose descriptor is already gone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Messages.h"

namespace zyl::ui {

// The descriptor paths of the recent index list, in order.
std::vector<std::string> RecentIndexes();
// Puts `path` at the head of the recent index list and saves it. Throws IniWriteError.
void AddRecentIndex(std::string_view path);

// Deletes the index's database and descriptor and takes it off the recent list; an empty
// `dbname` is reported to `report` ("Ошибка в файле индекса") and deletes the descriptor only.
// An entry whose descriptor is already gone is only taken off the list: there is nothing left
// to delete and nothing wrong to report. Never throws.
void DeleteIndexFiles(const std::string& descriptorPath, const base::MessageSink& report);

}  // namespace zyl::ui
