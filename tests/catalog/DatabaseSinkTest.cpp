#include "catalog/DatabaseSink.h"

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "catalog/IndexDatabase.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

TEST(DatabaseSink, StoresRowsCutInCodePointsAndCountsThem) {
  test::ProgramFolderScope home;
  catalog::EnsureTemplateDatabase(home.path());
  const std::string dbname = home.file("t.mdb");
  catalog::CreateIndexDatabase(dbname);
  {
    DatabaseSink sink(dbname, 2);
    FileInfo info;
    info.title = std::string(300, 'T');
    for (int i = 0; i < 60; ++i) info.author += "я";
    info.content = std::string(100000, 'c');
    info.location = "/d/a.txt";
    info.type = "verylongtypecode";
    info.modified = "2002-12-02";
    info.filesize = 42;
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(SaveContentInfo(sink, info));
    info.location.clear();
    EXPECT_FALSE(SaveContentInfo(sink, info));  // no location: skipped
    EXPECT_EQ(sink.RowCount(), 5);
  }
  db::Database database = db::Database::Open(dbname);
  db::Recordset rs = database.OpenRecordset("ContentIndex");
  ASSERT_EQ(rs.RecordCount(), 5);
  rs.MoveFirst();
  EXPECT_EQ(rs.Field("title").AsText().size(), 255u);
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "я";
  EXPECT_EQ(rs.Field("author").AsText(), fifty);
  EXPECT_EQ(rs.Field("type").AsText(), "verylongty");
  EXPECT_EQ(rs.Field("content").AsText().size(), 100000u);
  EXPECT_EQ(rs.Field("filesize").AsInt(), 42);
}

class FailingSink : public ContentSink {
 public:
  void AppendRow(const FileInfo&) override { throw ContentSinkError(3022, "full"); }
};

TEST(SaveContentInfo, ReportsAFailureWithTheErrorNumber) {
  std::string shown;
  FailingSink sink;
  sink.onMessage = [&](const base::Message& m) { shown = m.text; };
  FileInfo info;
  info.location = "/x";
  info.type = "txt";
  EXPECT_FALSE(SaveContentInfo(sink, info));
  EXPECT_EQ(shown, "Ошибка в процедуре SaveContentInfo  3022\r\nОбратитесь в службу поддержки");
}

}  // namespace
}  // namespace zyl::catalog
