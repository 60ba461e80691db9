#include "db/Database.h"

#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "base/Paths.h"

namespace zyl::db::test {
namespace {

using zyl::test::ReadFile;
using zyl::test::TempDir;

std::vector<Doc> Five() {
  std::vector<Doc> docs;
  for (int i = 1; i <= 5; ++i)
    docs.push_back({"t" + std::to_string(i), "a", "c" + std::to_string(i), "/f" + std::to_string(i),
                    i % 2 ? "txt" : "doc", "2002-01-0" + std::to_string(i), i * 100});
  return docs;
}

TEST(Database, RefusesFilesThatAreNotIndexDatabasesAndLeavesThemAlone) {
  TempDir dir;
  const std::string jet =
      std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(2000, 'J');
  const std::string text = "just some text that is long enough to have a header";
  for (const auto& [name, bytes, word] :
       {std::tuple{"old.mdb", jet, "old version"}, std::tuple{"notes.mdb", text, "not a database"},
        std::tuple{"empty.mdb", std::string(), "empty"}}) {
    const std::string path = dir.write(name, bytes);
    const auto before = base::FileModifiedTime(path);
    try {
      Database::Open(path);
      ADD_FAILURE() << name << " was opened";
    } catch (const DbError& e) {
      EXPECT_EQ(e.code(), kNotADatabase);
      EXPECT_NE(std::string(e.what()).find(word), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(path), bytes) << name;
    EXPECT_EQ(base::FileModifiedTime(path), before);
    EXPECT_FALSE(base::FileExists(path + "-wal"));
  }
  // A file with the right first bytes but nothing sound behind them.
  const std::string broken = std::string("SQLite format 3\0", 16) + std::string(5000, '\x7f');
  const std::string path = dir.write("broken.mdb", broken);
  EXPECT_THROW(Database::Open(path), DbError);
  EXPECT_EQ(ReadFile(path), broken);
  EXPECT_THROW(Database::Open(dir.file("missing.mdb")), DbError);
  EXPECT_FALSE(base::FileExists(dir.file("missing.mdb")));
}

TEST(Database, CreatesTheIndexSchemaAndNeverOverwrites) {
  TempDir dir;
  const std::string path = dir.file("index.mdb");
  {
    Database db = Database::CreateEmpty(path);
    EXPECT_TRUE(db.HasTable("ContentIndex"));
    for (const char* c : {"title", "author", "content", "location", "type", "modified", "filesize"})
      EXPECT_TRUE(db.HasColumn("ContentIndex", c)) << c;
    EXPECT_FALSE(db.HasColumn("ContentIndex", "FileSize"));  // names compare exactly
    Recordset rs = db.OpenRecordset("ContentIndex");
    rs.AddNew();
    rs.SetField("location", Value("/x"));
    rs.Update();
    EXPECT_EQ(db.OpenRecordset("ContentIndex").Field("filesize").AsInt(), 0);  // the default
  }
  EXPECT_THROW(Database::CreateEmpty(path), DbError);
  Database db = Database::Open(path);
  EXPECT_EQ(db.OpenRecordset("ContentIndex").RecordCount(), 1);
  // The lookup by location uses an index.
  EXPECT_NE(RawText(path, "SELECT sql FROM sqlite_master WHERE type='index'").find("location"),
            std::string::npos);
}

TEST(Database, UpgradesAnOldTableByAddingTheSizeColumn) {
  TempDir dir;
  const std::string path = dir.file("old.mdb");
  RawExec(path,
          "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location TEXT, type "
          "TEXT, modified TEXT);"
          "INSERT INTO ContentIndex VALUES('old', '', 'x', '/old', 'txt', '2001-01-01');");
  Database db = Database::Open(path);
  EXPECT_FALSE(db.HasColumn("ContentIndex", "filesize"));
  EXPECT_THROW(db.OpenRecordset("SELECT filesize FROM ContentIndex"), DbError);
  db.AddColumn("ContentIndex", "filesize", "INTEGER", Value(0));
  EXPECT_TRUE(db.HasColumn("ContentIndex", "filesize"));
  Recordset rs = db.OpenRecordset("ContentIndex");
  EXPECT_EQ(rs.Field("filesize").AsInt(), 0);
  EXPECT_THROW(db.AddColumn("ContentIndex", "x\"; DROP TABLE ContentIndex; --", "INTEGER"),
               DbError);
  EXPECT_THROW(db.AddColumn("ContentIndex", "filesize", "INTEGER"), DbError);  // already there
  EXPECT_FALSE(db.HasTable("Nothing"));
}

TEST(Recordset, WalksRowsInDatabaseOrder) {
  SampleDb s(Five());
  Recordset rs =
      s.db().OpenRecordset("SELECT title, filesize FROM ContentIndex WHERE type = 'txt'");
  EXPECT_FALSE(rs.Bof());
  EXPECT_FALSE(rs.Eof());
  EXPECT_EQ(rs.RecordCount(), 3);
  EXPECT_EQ(rs.Field("TITLE").AsText(), "t1");
  EXPECT_EQ(rs.Field(1).AsInt(), 100);
  rs.MoveNext();
  EXPECT_EQ(rs.Field(0).AsText(), "t3");
  rs.MoveLast();
  EXPECT_EQ(rs.Field(0).AsText(), "t5");
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_THROW(rs.Field(0), DbError);
  EXPECT_THROW(rs.MoveNext(), DbError);
  rs.MovePrevious();
  EXPECT_EQ(rs.Field(0).AsText(), "t5");
  rs.MoveFirst();
  rs.MovePrevious();
  EXPECT_TRUE(rs.Bof());
  EXPECT_FALSE(rs.Eof());
  EXPECT_EQ(rs.FieldIndex("content"), -1);
  EXPECT_THROW(rs.Field("content"), DbError);

  Recordset none = s.db().OpenRecordset("SELECT title FROM ContentIndex WHERE type = 'pdf'");
  EXPECT_TRUE(none.Bof());
  EXPECT_TRUE(none.Eof());
  EXPECT_EQ(none.RecordCount(), 0);
  try {
    none.MoveFirst();
    FAIL();
  } catch (const DbError& e) {
    EXPECT_EQ(e.code(), kNoCurrentRecord);
  }
}

TEST(Recordset, EditsAddsAndDeletesTheCurrentRow) {
  SampleDb s(Five());
  Database& db = s.db();
  {
    Recordset rs = db.OpenRecordset("SELECT content, modified, location FROM ContentIndex");
    EXPECT_THROW(rs.SetField(0, Value("x")), DbError);
    EXPECT_THROW(rs.Update(), DbError);
    rs.MoveNext();
    rs.Edit();
    rs.SetField("content", Value("new text"));
    rs.SetField(1, Value("2003-03-03 03:03:03"));
    EXPECT_EQ(rs.Field(0).AsText(), "new text");  // the edit buffer
    rs.Update();
    EXPECT_EQ(rs.Field(0).AsText(), "new text");
    rs.MoveNext();
    rs.Edit();
    rs.SetField(0, Value("discarded"));
    rs.CancelUpdate();
    EXPECT_EQ(rs.Field(0).AsText(), "c3");
  }
  EXPECT_EQ(s.Where("content = 'new text' AND modified = #3/3/2003 3:03:03#"), Titles({"t2"}));
  EXPECT_EQ(s.Where("content = 'discarded'").size(), 0u);

  {
    // Deleting while walking, as the update drops rows of vanished files.
    Recordset rs = db.OpenRecordset("SELECT location FROM ContentIndex");
    std::vector<std::string> seen;
    while (!rs.Eof()) {
      const std::string loc = rs.Field(0).AsText();
      seen.push_back(loc);
      if (loc == "/f2" || loc == "/f3") {
        rs.Delete();
        EXPECT_THROW(rs.Field(0), DbError);
      }
      rs.MoveNext();
    }
    EXPECT_EQ(seen, Titles({"/f1", "/f2", "/f3", "/f4", "/f5"}));
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveFirst();
    rs.MoveNext();
    EXPECT_EQ(rs.Field(0).AsText(), "/f4");
  }
  {
    // An added row joins the end of a recordset that does not even select it.
    Recordset rs = db.OpenRecordset("SELECT title, location FROM ContentIndex WHERE type = 'txt'");
    rs.AddNew();
    rs.SetField("title", Value("t6"));
    rs.SetField("location", Value("/f6"));
    rs.Update();
    EXPECT_EQ(rs.Field(0).AsText(), "t1");
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveLast();
    EXPECT_EQ(rs.Field(0).AsText(), "t6");
  }
  EXPECT_EQ(s.Column("ContentIndex"), Titles({"t1", "t4", "t5", "t6"}));
  EXPECT_EQ(s.Where("location = '/f6' AND filesize = 0 AND type IS NULL"), Titles({"t6"}));
}

TEST(Recordset, FiltersItsOwnRows) {
  SampleDb s(Five());
  Recordset rs = s.db().OpenRecordset("SELECT title FROM ContentIndex WHERE filesize >= 200");
  rs.Delete();  // t2
  Recordset f = rs.Filter("type = 'doc' OR content LIKE '*5'");
  EXPECT_EQ(f.FieldCount(), 1);
  std::vector<std::string> titles;
  for (; !f.Eof(); f.MoveNext()) titles.push_back(f.Field(0).AsText());
  EXPECT_EQ(titles, Titles({"t4", "t5"}));
  EXPECT_EQ(f.Filter("filesize < 500").RecordCount(), 1);
  EXPECT_THROW(rs.Filter("type = "), SqlError);
  Recordset sum = s.db().OpenRecordset("SELECT Sum(filesize) FROM ContentIndex");
  EXPECT_EQ(sum.FieldName(0), "SumOffilesize");
  EXPECT_THROW(sum.Filter("type = 'doc'"), DbError);
  EXPECT_THROW(sum.AddNew(), DbError);
}

TEST(Database, ExecutesOnlyDeletes) {
  SampleDb s(Five());
  EXPECT_THROW(s.db().Execute("SELECT title FROM ContentIndex"), SqlError);
  EXPECT_THROW(s.db().OpenRecordset("DELETE * FROM ContentIndex"), SqlError);
  EXPECT_EQ(s.db().Execute("DELETE FROM ContentIndex WHERE filesize > 300"), 2);
  EXPECT_EQ(s.Column("ContentIndex"), Titles({"t1", "t2", "t3"}));
}

TEST(Transaction, CommitsOrRollsBack) {
  SampleDb s(Five());
  Database& db = s.db();
  {
    Transaction tx(db);
    db.Execute("DELETE * FROM ContentIndex WHERE type = 'doc'");
  }
  EXPECT_EQ(s.Column("ContentIndex").size(), 5u);
  {
    Transaction outer(db);
    db.Execute("DELETE * FROM ContentIndex WHERE title = 't1'");
    {
      Transaction inner(db);
      db.Execute("DELETE * FROM ContentIndex WHERE title = 't2'");
    }
    {
      Transaction inner(db);
      db.Execute("DELETE * FROM ContentIndex WHERE title = 't3'");
      inner.Commit();
    }
    outer.Commit();
    EXPECT_THROW(outer.Commit(), DbError);
  }
  EXPECT_EQ(s.Column("ContentIndex"), Titles({"t2", "t4", "t5"}));
}

TEST(Database, ReadersSeeCommittedRowsWhileAWriterWorks) {
  SampleDb s(Five());
  Database reader = Database::Open(s.path());
  Recordset open = reader.OpenRecordset("SELECT title FROM ContentIndex");
  {
    Transaction tx(s.db());
    s.db().Execute("DELETE * FROM ContentIndex WHERE title = 't1'");
    // The other connection reads without waiting and without seeing the uncommitted change.
    EXPECT_EQ(reader.OpenRecordset("ContentIndex").RecordCount(), 5);
    tx.Commit();
  }
  EXPECT_EQ(reader.OpenRecordset("ContentIndex").RecordCount(), 4);
  // A row that vanished after the recordset opened reads as deleted, not as stale data.
  EXPECT_THROW(open.Field(0), DbError);
  open.MoveNext();
  EXPECT_EQ(open.Field(0).AsText(), "t2");
}

TEST(Database, ADatabaseFileCannotRunItsOwnCode) {
  TempDir dir;
  const std::string path = dir.file("trap.mdb");
  RawExec(path,
          "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location TEXT, type "
          "TEXT, modified TEXT, filesize INTEGER DEFAULT 0);"
          "CREATE TABLE log(x);"
          "CREATE TRIGGER t AFTER INSERT ON ContentIndex BEGIN INSERT INTO log VALUES(1); END;");
  Database db = Database::Open(path);
  Recordset rs = db.OpenRecordset("ContentIndex");
  rs.AddNew();
  rs.SetField("title", Value("x"));
  rs.Update();
  EXPECT_EQ(RawText(path, "SELECT count(*) FROM log"), "0");
}

}  // namespace
}  // namespace zyl::db::test
