// Small index databases for the tests of the query layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Database.h"
#include "support/TestSupport.h"

namespace zyl::db::test {

struct Doc {
  std::optional<std::string> title, author, content, location, type, modified;
  std::optional<long long> filesize;
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

}  // namespace zyl::db::test
