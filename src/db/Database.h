// An index database: one engine file holding the table ContentIndex. Statements are written
// in the query dialect and compiled before they reach the engine (see Compiler.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/Errors.h"
#include "db/Recordset.h"
#include "db/Value.h"
#include "db/WorkBudget.h"

namespace zyl::db {

class Connection;

class Database {
 public:
  // Opens an existing index database for reading and writing. A missing file, or a file that
  // is not an engine database (an index database of an old version, say), raises DbError and
  // is left exactly as it was.
  static Database Open(const std::string& path);
  // The same for reading only: nothing on this connection can change the file, its journal
  // mode included. Searches and the document server open databases this way.
  static Database OpenReadOnly(const std::string& path);
  // Creates a new database holding the empty ContentIndex table with its index on location.
  // Refuses to touch a file that already exists.
  static Database CreateEmpty(const std::string& path);

  Database(Database&&) noexcept;
  Database& operator=(Database&&) noexcept;
  ~Database();

  const std::string& path() const;
  bool IsOpen() const { return conn_ != nullptr; }
  // Recordsets opened from this database keep the connection alive until they go.
  void Close();

  // Limits what each execution of a statement on this database may cost from now on; one
  // that runs out stops with a DbError (see Stmt::Step). The default is no limit.
  void SetWorkBudget(const WorkBudget& budget);

  // Runs a DELETE statement of the dialect; returns the number of rows deleted.
  std::int64_t Execute(std::string_view statement);

  // `source`: "ContentIndex" (the whole table, in database order) or a SELECT of the dialect.
  Recordset OpenRecordset(std::string_view source);

  // The content of the row numbered `rowid` (RowReader::RowId, Recordset::RowId) when it still
  // holds `location`; else that of the first row holding `location` (a file rewritten by an
  // older version may have renumbered its rows); nullopt when no row holds it any more.
  // Lets a result list keep row numbers instead of every found document's text.
  std::optional<std::string> ContentOfRow(std::int64_t rowid, std::string_view location);
  bool HasTable(std::string_view table);
  // Exact, case-sensitive name of a column of `table`.
  bool HasColumn(std::string_view table, std::string_view column);
  // Adds a column (the upgrade of older databases). `type` is an engine type name such as
  // "INTEGER"; the default applies to rows written afterwards and, as the engine stores it,
  // reads back for the rows already there.
  void AddColumn(std::string_view table, std::string_view column, std::string_view type,
                 const std::optional<Value>& defaultValue = std::nullopt);

  // Gives the database what later versions search by: a stable key on ContentIndex (an older
  // table is rewritten with its rows keeping their order and numbers) and the substring index,
  // filled from the rows already there, all in one transaction. Returns true when it changed
  // anything; throws DbError when it cannot.
  bool AddSubstringIndex();
  bool HasSubstringIndex() const;

  // For a file being made from nothing (a new index): from now on its writes reach the disk
  // when the system gets to them, not at every checkpoint, which cost a build of 500 MB seven
  // seconds of waiting. A crash of the program still leaves every committed group whole; a
  // crash of the machine may damage the file, but an unfinished build is made again anyway.
  void DeferSyncing();
  // Moves the log into the file and has both on the disk; syncs as usual from then on.
  void SyncToDisk();

 private:
  enum class Access { ReadWrite, ReadOnly };
  static Database Open(const std::string& path, Access access);
  explicit Database(std::shared_ptr<Connection> conn);
  Connection& conn() const;
  friend class Transaction;
  friend class RowReader;
  std::shared_ptr<Connection> conn_;
};

// Groups writes: begun on construction, undone on destruction unless committed. Nested
// transactions become savepoints of the outer one.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  std::shared_ptr<Connection> conn_;
  std::string savepoint_;  // "" for the outermost transaction
  bool done_ = false;
};

}  // namespace zyl::db
