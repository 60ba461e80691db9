#include "db/RowReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DbTestUtil.h"
#include "db/Errors.h"

namespace zyl::db::test {
namespace {

TEST(RowReader, ReadsTheSelectedRowsOnceInDatabaseOrder) {
  SampleDb s({{.location = "/b", .type = "txt"},
              {.location = "arc:/z.zip///x", .type = "txt"},
              {.location = "/a", .type = "txt"}});
  RowReader rows(s.db(), "SELECT location, type FROM ContentIndex WHERE left(location,4)<>'arc:'");
  ASSERT_TRUE(rows.Next());
  EXPECT_EQ(rows.Field(0).AsText(), "/b");
  EXPECT_EQ(rows.Field(1).AsText(), "txt");
  ASSERT_TRUE(rows.Next());
  EXPECT_EQ(rows.Field(0).AsText(), "/a");
  EXPECT_FALSE(rows.Next());
  EXPECT_THROW(rows.Field(5), DbError);
  // In any order, every row comes once and knows its place in database order.
  RowReader any(s.db(), "SELECT location FROM ContentIndex", RowReader::Order::kAny);
  std::vector<std::pair<std::int64_t, std::string>> seen;
  while (any.Next()) seen.emplace_back(any.RowId(), any.Field(0).AsText());
  std::sort(seen.begin(), seen.end());
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].second, "/b");
  EXPECT_EQ(seen[2].second, "/a");
  EXPECT_THROW(any.Field(1), DbError);
  EXPECT_THROW(RowReader(s.db(), "DELETE * FROM ContentIndex"), SqlError);
  EXPECT_THROW(RowReader(s.db(), "SELECT Sum(filesize) AS s FROM ContentIndex"), SqlError);
}

TEST(Recordset, DeletingEveryRowWhileWalkingEndsAtTheEnd) {
  SampleDb s({{.location = "/x"}, {.location = "/x"}, {.location = "/x"}});
  Recordset rs = s.db().OpenRecordset("SELECT location FROM ContentIndex");
  int deleted = 0;
  for (; !rs.Eof(); rs.MoveNext(), ++deleted) rs.Delete();
  EXPECT_EQ(deleted, 3);
  EXPECT_THROW(rs.MoveNext(), DbError);
}

}  // namespace
}  // namespace zyl::db::test
