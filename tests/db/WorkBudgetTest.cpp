// Reading databases without changing them, and the work budget that stops a statement asking
// for endless work.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "DbTestUtil.h"
#include "db/Database.h"
#include "db/RowReader.h"

namespace zyl::db::test {
namespace {

using namespace std::chrono_literals;
using zyl::test::ReadFile;
using zyl::test::TempDir;

// A database with the index table written by another program, in the engine's classic
// rollback-journal mode (header bytes 18 and 19 are 1; the write-ahead log makes them 2).
std::string ForeignDatabase(const TempDir& dir) {
  const std::string path = dir.file("foreign.mdb");
  RawExec(path,
          "CREATE TABLE ContentIndex(title, author, content, location, type, modified, filesize);"
          "INSERT INTO ContentIndex VALUES('t', 'a', 'c', '/x', 'txt', '', 1);");
  return path;
}

TEST(Database, ReadOnlyOpeningNeverChangesTheFile) {
  TempDir dir;
  const std::string path = ForeignDatabase(dir);
  const std::string before = ReadFile(path);
  ASSERT_EQ(before[18], 1);
  {
    Database db = Database::OpenReadOnly(path);
    Recordset rs = db.OpenRecordset("SELECT title FROM ContentIndex WHERE location = '/x'");
    EXPECT_FALSE(rs.Eof());
    EXPECT_THROW(db.Execute("DELETE FROM ContentIndex"), DbError);
  }
  EXPECT_EQ(ReadFile(path), before);
  // Opening for writing is what switches a database to the write-ahead log.
  { Database db = Database::Open(path); }
  EXPECT_EQ(ReadFile(path)[18], 2);
}

// One row whose content is `size` bytes of "a".
std::vector<Doc> OneLongRow(std::size_t size) {
  return {{"t", "", std::string(size, 'a'), "/x", "txt", "", 1}};
}

// "(term) OR (term) ..." with `n` terms.
std::string Repeated(std::string_view term, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? " OR (" : "(") + std::string(term) + ")";
  return out;
}

int CodeOf(Database& db, const std::string& condition) {
  try {
    RowReader rows(db, "SELECT title FROM ContentIndex WHERE " + condition);
    while (rows.Next()) {
    }
    return SQLITE_OK;
  } catch (const DbError& e) {
    return e.code() & 0xff;
  }
}

TEST(WorkBudget, CapsTheTextFunctionsBuildInOneStatement) {
  SampleDb s(OneLongRow(10));
  // Eight texts of 1 MB each: fine without a budget and within one of 16 MB.
  const std::string eight = Repeated("Len(Space(1000000)) = 1", 8);
  EXPECT_EQ(CodeOf(s.db(), eight), SQLITE_OK);
  s.db().SetWorkBudget({0ms, 16u << 20});
  EXPECT_EQ(CodeOf(s.db(), eight), SQLITE_OK);
  // Each execution has a budget of its own: the same statement again still fits.
  EXPECT_EQ(CodeOf(s.db(), eight), SQLITE_OK);
  // Twenty texts do not, whichever function builds them.
  for (const char* term : {"Len(Space(1000000)) = 1", "Len(String(1000000, \"x\")) = 1",
                           "Len(Replace(Space(100000), \" \", \"0123456789\")) = 1"}) {
    EXPECT_EQ(CodeOf(s.db(), Repeated(term, 20)), SQLITE_TOOBIG) << term;
  }
  s.db().SetWorkBudget({});
  EXPECT_EQ(CodeOf(s.db(), Repeated("Len(Space(1000000)) = 1", 20)), SQLITE_OK);
}

TEST(WorkBudget, StopsAStatementThatRunsOutOfEngineTime) {
  // Every term reads a 2 MB content through Replace: sixty terms take seconds.
  SampleDb s(OneLongRow(2'000'000));
  const std::string slow = Repeated("InStr(Replace(content, \"b\", \"c\"), \"z\") > 0", 60);
  s.db().SetWorkBudget({50ms, 0});
  EXPECT_EQ(CodeOf(s.db(), slow), SQLITE_INTERRUPT);
  // The connection is still good for the next statement.
  EXPECT_EQ(CodeOf(s.db(), "content LIKE \"a*\""), SQLITE_OK);
}

}  // namespace
}  // namespace zyl::db::test
