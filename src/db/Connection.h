// The engine connection shared by a Database and the recordsets opened from it, and a
// prepared statement that finalises itself. Internal to this layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

 private:
  sqlite3* db_;
  WorkAccount work_;
  std::string path_;
  int savepoints_ = 0;
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
