// Rows appended to an index database's ContentIndex, committed in groups: a crash loses at
// most the last group, and the database always opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalog/ContentStore.h"
#include "catalog/IndexTable.h"
#include "db/Database.h"

namespace zyl::catalog {

class DatabaseSink : public ContentSink {
 public:
  // Opens the database; throws db::DbError when it cannot be opened.
  explicit DatabaseSink(const std::string& dbname, std::size_t commitEvery = kCommitGroup);
  ~DatabaseSink() override;
  DatabaseSink(const DatabaseSink&) = delete;
  DatabaseSink& operator=(const DatabaseSink&) = delete;

  // Throws ContentSinkError with the database's error code.
  void AppendRow(const FileInfo& row) override;
  // Commits the rows appended so far.
  void Commit();
  // For a new index: syncs the file only when the sink is done with it (db::Database::
  // DeferSyncing); SyncToDisk, or else the sink's end, syncs it.
  void DeferSyncing();
  void SyncToDisk();
  // Rows of the table, those appended through this sink included.
  std::int64_t RowCount() const { return rows_; }
  db::Database& database() { return db_; }

 private:
  db::Database db_;
  db::Recordset table_;
  std::optional<db::Transaction> tx_;
  std::size_t commitEvery_;
  std::size_t pending_ = 0;
  std::int64_t rows_ = 0;
  bool deferred_ = false;
};

}  // namespace zyl::catalog
