#include "catalog/DatabaseSink.h"

#include <gtest/gtest.h>

#include "catalog/IndexDatabase.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

// The cuts of the fields are SaveContentInfo's (tested with it); the sink stores what it is given,
// in groups, and counts it.
TEST(DatabaseSink, StoresEveryRowAcrossItsGroupsAndCountsThem) {
  test::ProgramFolderScope home;
  catalog::EnsureTemplateDatabase(home.path());
  const std::string dbname = home.file("t.mdb");
  catalog::CreateIndexDatabase(dbname);
  {
    DatabaseSink sink(dbname, 2);
    FileInfo info;
    info.title = "Title";
    info.author = "Автор";
    info.content = std::string(100000, 'c');
    info.location = "/d/a.txt";
    info.type = "txt";
    info.modified = "2002-12-02";
    info.filesize = 42;
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(SaveContentInfo(sink, info));
    EXPECT_EQ(sink.RowCount(), 5);
  }
  db::Database database = db::Database::Open(dbname);
  db::Recordset rs = database.OpenRecordset("ContentIndex");
  ASSERT_EQ(rs.RecordCount(), 5);
  rs.MoveFirst();
  EXPECT_EQ(rs.Field("author").AsText(), "Автор");
  EXPECT_EQ(rs.Field("content").AsText().size(), 100000u);
  EXPECT_EQ(rs.Field("filesize").AsInt(), 42);
  EXPECT_EQ(rs.Field("modified").AsText(), "2002-12-02");
}

}  // namespace
}  // namespace zyl::catalog
