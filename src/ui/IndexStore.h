// The manager's few calls into the index store: the recent index list of config.ini and the
// deletion of an index's files. Kept in one place so that the window does not spell out keys
// and file rules.
#pragma once

#include <string>
#include <string_view>

namespace zyl::ui {

// RecentIndex of [General] of config.ini, as stored.
std::string RecentIndexList();
// Puts `path` at the head of the recent index list and saves it (the settings record follows).
void AddRecentIndex(std::string_view path);
// Removes every entry equal to `path` from the recent index list and saves it.
void RemoveRecentIndex(std::string_view path);

enum class DeleteResult { Deleted, EmptyDbName, DescriptorGone };
// Deletes the database named by `dbname` of the descriptor (with its journal files) and the
// descriptor. An empty `dbname` leaves the database alone but still deletes the descriptor;
// a descriptor that is already gone deletes nothing.
DeleteResult DeleteIndexFiles(std::string_view descriptorPath);

}  // namespace zyl::ui
