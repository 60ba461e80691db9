// The substring index over bytes a damaged database could hold: a stored block of postings and
// a candidate expression, both taken from the input. Reading either must end cleanly, with rows
// that ascend, or with an error.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "db/Errors.h"
#include "db/SubstringIndex.h"
#include "db/TrigramIndex.h"
#include "db/TrigramPostings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::db;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The expression up to the first newline, the block after it.
  const std::size_t cut = std::min(input.find('\n'), input.size());
  const std::string_view expression = input.substr(0, cut);
  const std::string_view block = cut < input.size() ? input.substr(cut + 1) : std::string_view();

  BlockEntries entries(block, 0);
  TrigramKey key = 0;
  std::string_view list;
  while (entries.Next(key, list)) {
    std::vector<std::int64_t> rows;
    DecodeRowList(list, rows);
    for (std::size_t i = 1; i < rows.size(); ++i)
      if (rows[i] <= rows[i - 1]) std::abort();
  }

  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  sqlite3_exec(db, CreateTrigramIndexSql().c_str(), nullptr, nullptr, nullptr);
  sqlite3_exec(db, "INSERT INTO ContentTrigramSegments VALUES(1, 0)", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO ContentTrigrams VALUES(1, 0, ?1)", -1, &st, nullptr);
  sqlite3_bind_blob64(st, 1, block.data(), block.size(), SQLITE_STATIC);
  sqlite3_step(st);
  sqlite3_finalize(st);
  try {
    const std::vector<std::int64_t> rows = EvaluateCandidates(db, expression);
    for (std::size_t i = 1; i < rows.size(); ++i)
      if (rows[i] <= rows[i - 1]) std::abort();
  } catch (const DbError&) {
  }
  sqlite3_close(db);
  return 0;
}
