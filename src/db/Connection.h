// The engine connection shared by a Database and the recordsets opened from it, and a
// prepared statement that finalises itself. Internal to this layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/TrigramIndex.h"
#include "db/Value.h"
#include "db/WorkBudget.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zyl::db {

class Connection {
 public:
  Connection(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* handle() const { return db_; }
  const std::string& path() const { return path_; }
  // Runs engine SQL written by this layer (no values from outside).
  void Exec(const std::string& sql);
  [[noreturn]] void Throw(int rc, std::string_view what) const;
  int NextSavepoint() { return ++savepoints_; }
  // What statements on this connection may cost (unlimited unless a caller sets a budget).
  WorkAccount& Work() { return work_; }
  // Whether the file has the substring index, which every change of rows keeps in step.
  bool HasSubstringIndex() const { return substringIndex_; }
  void SetSubstringIndex(bool present) { substringIndex_ = present; }
  // Files the trigram keys of a row added or changed in the current transaction; they are
  // written with its commit (or before, when a long transaction has piled up many).
  void AddTrigrams(std::int64_t rowid, const std::vector<TrigramKey>& keys);
  // Writes the filed keys (before the outermost commit), or forgets them (at its rollback).
  void WriteTrigrams();
  void ForgetTrigrams() { pending_.Clear(); }

 private:
  sqlite3* db_;
  WorkAccount work_;
  std::string path_;
  int savepoints_ = 0;
  bool substringIndex_ = false;
  PendingTrigrams pending_;
};

// Makes the statements run while it lives one change: a row and its index entries are written
// together or not at all, inside a caller's transaction or on their own.
class Savepoint {
 public:
  explicit Savepoint(Connection& conn);
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;
  void Release();

 private:
  Connection& conn_;
  std::string name_;
  // No transaction was open before it: its release commits.
  bool outermost_;
  bool done_ = false;
};

class Stmt {
 public:
  Stmt(Connection& conn, const std::string& sql);
  ~Stmt();
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  void Bind(int index, const Value& v);
  void BindAll(const std::vector<Value>& values);  // ?1 ... ?n
  // True when a row is ready. An execution that runs out of its connection's work budget
  // throws DbError with SQLITE_INTERRUPT (engine time) or SQLITE_TOOBIG (built text).
  bool Step();
  // Rewinds the statement; its next execution starts with a fresh budget.
  void Reset();
  int ColumnCount() const;
  Value Column(int i) const;
  std::int64_t Int(int i) const;

 private:
  Connection& conn_;
  sqlite3_stmt* st_ = nullptr;
  StatementWork work_;
};

}  // namespace zyl::db
