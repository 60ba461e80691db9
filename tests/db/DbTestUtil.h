// Small index databases for the tests of the query layer.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Database.h"
#include "support/TestSupport.h"

namespace zyl::db::test {

struct Doc {
  std::optional<std::string> title{}, author{}, content{}, location{}, type{}, modified{};
  std::optional<long long> filesize{};
};

inline Value V(const std::optional<std::string>& s) {
  return s ? Value(*s) : Value();
}

class SampleDb {
 public:
  explicit SampleDb(const std::vector<Doc>& docs)
      : db_(Database::CreateEmpty(dir_.file("index.mdb"))) {
    Transaction tx(db_);
    Recordset rs = db_.OpenRecordset("ContentIndex");
    for (const Doc& d : docs) {
      rs.AddNew();
      rs.SetField("title", V(d.title));
      rs.SetField("author", V(d.author));
      rs.SetField("content", V(d.content));
      rs.SetField("location", V(d.location));
      rs.SetField("type", V(d.type));
      rs.SetField("modified", V(d.modified));
      rs.SetField("filesize", d.filesize ? Value(*d.filesize) : Value());
      rs.Update();
    }
    tx.Commit();
  }

  Database& db() { return db_; }
  const std::string& path() const { return db_.path(); }

  // One field of every row of a record source, in order.
  std::vector<std::string> Column(std::string_view source, std::string_view field = "title") {
    std::vector<std::string> out;
    Recordset rs = db_.OpenRecordset(source);
    while (!rs.Eof()) {
      out.push_back(rs.Field(field).AsText());
      rs.MoveNext();
    }
    return out;
  }
  // Titles of the rows meeting a condition.
  std::vector<std::string> Where(std::string_view condition) {
    return Column("SELECT title FROM ContentIndex WHERE " + std::string(condition));
  }

 private:
  zyl::test::TempDir dir_;
  Database db_;
};

using Titles = std::vector<std::string>;

// Engine SQL run on a database file past this layer: to build databases it would never write,
// or to look at what it wrote. False (and a test failure) when the engine refuses it.
inline bool RawExec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  char* err = nullptr;
  const bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK;
  if (!ok) ADD_FAILURE() << sql << ": " << (err ? err : sqlite3_errmsg(db));
  sqlite3_free(err);
  sqlite3_close(db);
  return ok;
}

// The first column of the first row a raw query gives, "(no row)" without one.
inline std::string RawText(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  std::string out = "(no row)";
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
      sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0) != nullptr)
    out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

}  // namespace zyl::db::test
