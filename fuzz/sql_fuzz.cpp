// Statements of the query dialect from anywhere (a typed query-language condition, a saved
// search, a server request): every text is read, compiled and run against a small database.
// A refusal is SqlError, a failure while running is DbError; anything else is a fault.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "db/Compiler.h"
#include "db/Database.h"
#include "db/LikePattern.h"
#include "db/RowReader.h"

namespace {

using namespace zyl::db;

struct Fixture {
  std::string path;
  Database db;
  Fixture() : path(TempPath()), db(Database::CreateEmpty(path)) {
    Recordset rs = db.OpenRecordset("ContentIndex");
    const char* rows[][6] = {
        {"План продаж", "Иванов", "Годовой отчет и бюджет", "/docs/plan.doc", "doc",
         "2002-01-05 10:00:00"},
        {"Budget", "Petrov", "tax report 2002", "arc:/a.zip//b.txt", "txt", "2002-02-17"},
        {"", "", "", "/mail/1", "mail_oe", ""},
    };
    long long size = 100;
    for (auto& r : rows) {
      rs.AddNew();
      for (int i = 0; i < 6; ++i) rs.SetField(i, Value(r[i]));
      rs.SetField(6, Value(size *= 7));
      rs.Update();
    }
    rs.AddNew();
    rs.SetField("location", Value("/null"));
    rs.Update();
    // Long enough to be read in several pieces by a reader that leaves the content stored.
    std::string longText;
    while (longText.size() < 20000) longText += "годовой отчёт, tax report 2002; ";
    rs.AddNew();
    rs.SetField("location", Value("/long"));
    rs.SetField("content", Value(longText + "итог"));
    rs.Update();
  }
  ~Fixture() {
    db.Close();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
      std::remove((path + suffix).c_str());
  }
  static std::string TempPath() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/zyl_sql_fuzz_" + std::to_string(getpid()) +
           ".db";
  }
};

template <class F>
void Guard(F&& f) {
  try {
    f();
  } catch (const SqlError&) {
  } catch (const DbError&) {
  } catch (const LikePatternError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture fx;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  Guard([&] {
    const CompiledQuery q = CompileStatement(text);
    if (q.kind == Statement::Kind::Delete) {
      Transaction tx(fx.db);  // rolled back: the rows stay for the next input
      fx.db.Execute(text);
    } else {
      Recordset rs = fx.db.OpenRecordset(text);
      for (int n = 0; !rs.Eof() && n < 10; ++n) {
        for (int i = 0; i < rs.FieldCount(); ++i) rs.Field(i);
        rs.MoveNext();
      }
    }
  });
  Guard([&] {
    Recordset table = fx.db.OpenRecordset("ContentIndex");
    Recordset f = table.Filter(text);
    (void)f.RecordCount();
  });
  Guard([&] {
    // Leaving the content stored (LIKE reading it in pieces) must not change the rows.
    auto rows = [&](RowReader::Content content) {
      RowReader reader(fx.db, text, RowReader::Order::kDatabase, content);
      std::vector<std::int64_t> ids;
      while (reader.Next()) ids.push_back(reader.RowId());
      return ids;
    };
    if (rows(RowReader::Content::kRead) != rows(RowReader::Content::kLeftStored)) std::abort();
  });
  Guard([&] {
    const LikePattern p(text);
    p.Matches("Годовой отчет и бюджет, tax report 2002");
    p.MatchesPadded(text);
    // The start of a text proves a match only where the whole text matches.
    for (const bool padded : {false, true}) {
      const bool whole = padded ? p.MatchesPadded(text) : p.Matches(text);
      for (std::size_t n = 0; n < text.size(); n += 1 + n / 8)
        if (p.MatchesEveryTextStartingWith(text.substr(0, n), padded) && !whole) std::abort();
    }
  });
  return 0;
}
