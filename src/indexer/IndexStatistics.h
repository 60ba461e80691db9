// The totals an index's descriptor keeps (FilesCount, FilesSize), counted the same way at the end
// of a build and of an update, so that an update with nothing changed leaves them as the build
// wrote them.
#pragma once

#include <cstdint>
#include <string_view>

#include "db/Database.h"

namespace zyl::indexer {

struct IndexTotals {
  std::int64_t filesCount = 0;  // every row, mail and archive rows included
  std::int64_t filesSize = 0;   // the sum of their sizes; a row without a size adds nothing
};

// One pass over the table (it reads only the location index, never the stored texts). Throws
// what the database throws.
IndexTotals CountIndexTotals(db::Database& database);

// Counts the totals and writes them into the descriptor's [General] section. Throws what the
// database or the descriptor writer throws.
IndexTotals RecountIndexTotals(db::Database& database, std::string_view descriptorPath);

}  // namespace zyl::indexer
