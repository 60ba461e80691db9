#include "support/StoredRows.h"

#include "db/RowReader.h"

namespace zyl::test {

std::vector<std::string> StoredLocations(const std::string& dbname) {
  std::vector<std::string> out;
  db::Database database = db::Database::Open(dbname);
  db::RowReader rows(database, "SELECT location FROM ContentIndex");
  while (rows.Next()) out.push_back(rows.Field(0).AsText());
  return out;
}

}  // namespace zyl::test
