#include "search/ResultContent.h"

namespace zyl::search {

std::string ContentReader::Read(const ResultRow& row) {
  if (row.database.empty()) return {};
  try {
    auto it = open_.find(row.database);
    if (it == open_.end())
      it = open_.emplace(row.database, db::Database::OpenReadOnly(row.database)).first;
    return it->second.ContentOfRow(row.rowid, row.location).value_or(std::string());
  } catch (const std::exception&) {
    // A database deleted or rebuilt since the search shows an empty text, as a row deleted
    // since does; the next row tries again.
    open_.erase(row.database);
    return {};
  }
}

std::string ReadContent(const ResultRow& row) {
  ContentReader reader;
  return reader.Read(row);
}

}  // namespace zyl::search
