#include "db/RowReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "db/Errors.h"
#include "support/TestSupport.h"

namespace zyl::db {
namespace {

TEST(RowReader, ReadsTheSelectedRowsOnceInDatabaseOrder) {
  test::TempDir dir;
  Database database = Database::CreateEmpty(dir.file("r.mdb"));
  {
    Recordset table = database.OpenRecordset("ContentIndex");
    for (const char* loc : {"/b", "arc:/z.zip///x", "/a"}) {
      table.AddNew();
      table.SetField("location", loc);
      table.SetField("type", "txt");
      table.Update();
    }
  }
  RowReader rows(database,
                 "SELECT location, type FROM ContentIndex WHERE left(location,4)<>'arc:'");
  ASSERT_TRUE(rows.Next());
  EXPECT_EQ(rows.Field(0).AsText(), "/b");
  EXPECT_EQ(rows.Field(1).AsText(), "txt");
  ASSERT_TRUE(rows.Next());
  EXPECT_EQ(rows.Field(0).AsText(), "/a");
  EXPECT_FALSE(rows.Next());
  EXPECT_THROW(rows.Field(5), DbError);
  // In any order, every row comes once and knows its place in database order.
  RowReader any(database, "SELECT location FROM ContentIndex", RowReader::Order::kAny);
  std::vector<std::pair<std::int64_t, std::string>> seen;
  while (any.Next()) seen.emplace_back(any.RowId(), any.Field(0).AsText());
  std::sort(seen.begin(), seen.end());
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].second, "/b");
  EXPECT_EQ(seen[2].second, "/a");
  EXPECT_THROW(any.Field(1), DbError);
  EXPECT_THROW(RowReader(database, "DELETE * FROM ContentIndex"), SqlError);
  EXPECT_THROW(RowReader(database, "SELECT Sum(filesize) AS s FROM ContentIndex"), SqlError);
}

}  // namespace
}  // namespace zyl::db

namespace zyl::db {
namespace {

TEST(Recordset, DeletingEveryRowWhileWalkingEndsAtTheEnd) {
  test::TempDir dir;
  Database database = Database::CreateEmpty(dir.file("d.mdb"));
  Recordset table = database.OpenRecordset("ContentIndex");
  for (int i = 0; i < 3; ++i) {
    table.AddNew();
    table.SetField("location", "/x");
    table.Update();
  }
  Recordset rs = database.OpenRecordset("SELECT location FROM ContentIndex");
  int deleted = 0;
  while (!rs.Eof()) {
    rs.Delete();
    ++deleted;
    rs.MoveNext();
  }
  EXPECT_EQ(deleted, 3);
  EXPECT_TRUE(rs.Eof());
  EXPECT_THROW(rs.MoveNext(), DbError);
}

}  // namespace
}  // namespace zyl::db
