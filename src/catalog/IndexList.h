// The indexes the program knows: the recent index list of config.ini (descriptor paths, newest
// first) and the removal of an index from disk. The windows, the engines and the server all go
// through these, so the list is read and written in one way; the calls are safe from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Messages.h"

namespace zyl::catalog {

// The descriptor paths of the recent index list, in order.
std::vector<std::string> ReadRecentIndexList();
// Puts the path at the head of the list (see settings::AddToRecentList) and saves the list as
// RecentIndex of config.ini. Throws settings::IniWriteError when config.ini cannot be written;
// the list in memory is changed all the same.
void AddToRecentIndexList(std::string_view descriptorPath);
// Removes every entry equal to the path (letter case ignored) and saves the list. Throws like
// AddToRecentIndexList.
void RemoveFromRecentIndexList(std::string_view descriptorPath);

// Deletes an index: its database (the descriptor's dbname; when that is empty nothing is
// deleted and "Ошибка в файле индекса" goes to `report`), the database's journals, then the
// descriptor, and removes the path from the recent index list. Returns false when the
// descriptor's dbname was empty. Never throws: a list that cannot be saved is reported too.
bool DeleteIndex(const std::string& descriptorPath, const base::MessageSink& report);

}  // namespace zyl::catalog
