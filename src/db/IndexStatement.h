// Internal to this layer.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "db/Errors.h"

namespace zyl::db {

// A prepared statement of the substring index, finalised with it. The index runs its own
// statements inside a search's (the candidate table is read while a statement steps), where
// Stmt's accounting of a statement's work would take them for the search's own.
class IndexStatement {
 public:
  IndexStatement(sqlite3* db, const char* sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql, -1, &st_, nullptr);
    if (rc != SQLITE_OK) Fail(rc);
  }
  ~IndexStatement() { sqlite3_finalize(st_); }
  IndexStatement(const IndexStatement&) = delete;
  IndexStatement& operator=(const IndexStatement&) = delete;

  void BindInt(int i, std::int64_t v) { sqlite3_bind_int64(st_, i, v); }
  // The bytes must stay until the statement has run.
  void BindBlob(int i, std::string_view b) {
    sqlite3_bind_blob64(st_, i, b.data(), b.size(), SQLITE_STATIC);
  }
  bool Step() {
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail(rc);
    return false;
  }
  void Reset() { sqlite3_reset(st_); }
  std::int64_t Int(int i) const { return sqlite3_column_int64(st_, i); }
  std::string_view Blob(int i) const {
    const void* p = sqlite3_column_blob(st_, i);
    const int n = sqlite3_column_bytes(st_, i);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
  }

 private:
  [[noreturn]] void Fail(int rc) const {
    throw DbError(
        rc, std::string("the substring index cannot be read or written: ") + sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

}  // namespace zyl::db
