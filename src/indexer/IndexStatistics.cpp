#include "indexer/IndexStatistics.h"

#include <string>

#include "catalog/Descriptor.h"
#include "db/Ast.h"
#include "db/RowReader.h"

namespace zyl::indexer {

IndexTotals CountIndexTotals(db::Database& database) {
  IndexTotals totals;
  db::RowReader rows(database, std::string("SELECT filesize FROM ") + db::kTableName,
                     db::RowReader::Order::kAny);
  while (rows.Next()) {
    ++totals.filesCount;
    totals.filesSize += rows.Field(0).AsInt();
  }
  return totals;
}

IndexTotals RecountIndexTotals(db::Database& database, std::string_view descriptorPath) {
  const IndexTotals totals = CountIndexTotals(database);
  catalog::WriteIndexTotals(descriptorPath, totals.filesCount, totals.filesSize);
  return totals;
}

}  // namespace zyl::indexer
