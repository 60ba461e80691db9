#include "catalog/IndexDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/UpgradeIndex.h"
#include "db/Database.h"
#include "db/DbTestUtil.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

class IndexDatabaseTest : public ::testing::Test {
 protected:
  IndexDatabaseTest() { EnsureTemplateDatabase(home.path()); }
  // A database as an old version wrote it: ContentIndex without filesize.
  std::string OldDatabase(const std::string& name) {
    const std::string path = home.file(name);
    db::test::RawExec(path,
                      "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location "
                      "TEXT, type TEXT, modified TEXT); INSERT INTO ContentIndex(title) "
                      "VALUES('old');");
    return path;
  }
  std::string Descriptor(const std::string& dbname, const std::string& ext) {
    return home.write("i.zyl", "[General]\r\ndbname=" + dbname + "\r\next=" + ext);
  }

  test::ProgramFolderScope home;
  std::vector<std::string> shown;
  base::MessageSink record_ = [this](const base::Message& m) { shown.push_back(m.text); };
};

TEST_F(IndexDatabaseTest, TemplateIsSeededOnceAndCopiedOverOldFiles) {
  ASSERT_TRUE(base::FileExists(TemplateDatabasePath()));
  const std::string before = test::ReadFile(TemplateDatabasePath());
  EnsureTemplateDatabase(home.path());
  EXPECT_EQ(test::ReadFile(TemplateDatabasePath()), before);

  const std::string dbname = home.file("Docs.mdb");
  base::WriteFileAtomic(dbname, "old contents");
  CreateIndexDatabase(dbname);
  db::Database database = db::Database::Open(dbname);
  EXPECT_TRUE(database.HasColumn("ContentIndex", "filesize"));
  EXPECT_EQ(database.OpenRecordset("ContentIndex").RecordCount(), 0);
  EXPECT_THROW(CreateIndexDatabase(home.file("missing/x.mdb")), std::runtime_error);
}

TEST_F(IndexDatabaseTest, EmptyOrBrokenTemplateIsMadeAgain) {
  // What a seeding stopped half-way leaves behind, and a file that is no database at all.
  for (const std::string& bad : {std::string(), std::string("SQLite format 3") + '\0' + "junk"}) {
    base::WriteFileAtomic(TemplateDatabasePath(), bad);
    EnsureTemplateDatabase(home.path());
    EXPECT_TRUE(db::Database::Open(TemplateDatabasePath()).HasTable("ContentIndex"));

    base::WriteFileAtomic(TemplateDatabasePath(), bad);
    const std::string dbname = home.file("After.mdb");
    CreateIndexDatabase(dbname);
    EXPECT_EQ(db::Database::Open(dbname).OpenRecordset("ContentIndex").RecordCount(), 0);
  }
  // Nothing of the work files stays beside the template.
  for (const auto& entry : std::filesystem::directory_iterator(home.path()))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos);
}

TEST_F(IndexDatabaseTest, OldDescriptorBecomesMaskForm) {
  const std::string dbname = home.file("cur.mdb");
  CreateIndexDatabase(dbname);
  const std::string descriptor = home.write(
      "i.zyl", "[General]\r\ndbname=" + dbname + "\r\next=txt;doc;htm*;\r\nUserFiles=cpp;pas;");
  UpgradeIndex(descriptor, record_);
  EXPECT_EQ(
      test::ReadFile(descriptor),
      "[General]\r\ndbname=" + dbname + "\r\next=*.txt;*.doc;*.htm*;\r\nUserFiles=*.cpp;*.pas;");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("0.98"), std::string::npos);
  shown.clear();
  UpgradeIndex(descriptor, record_);
  EXPECT_TRUE(shown.empty());
}

TEST_F(IndexDatabaseTest, OldDatabaseGetsTheSizeColumnOnce) {
  const std::string dbname = OldDatabase("old.mdb");
  const std::string descriptor = Descriptor(dbname, "*.txt;");
  UpgradeIndex(descriptor, record_);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].find("0.96"), std::string::npos);
  EXPECT_EQ(shown[1], "Обновление завершено.");
  EXPECT_EQ(HasFilesizeColumn(dbname), true);
  shown.clear();
  UpgradeIndex(descriptor, record_);
  EXPECT_TRUE(shown.empty());
}

TEST_F(IndexDatabaseTest, BrokenDatabaseIsReportedAndNothingIsOverwritten) {
  const std::string dbname = home.write("jet.mdb", "Standard Jet DB not sqlite");
  const std::string descriptor = Descriptor(dbname, "");
  UpgradeIndex(descriptor, record_);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].starts_with("Ошибка обновления."));
  EXPECT_EQ(test::ReadFile(dbname), "Standard Jet DB not sqlite");
  shown.clear();
  UpgradeIndex(Descriptor("", "*.txt;"), record_);  // no database named: nothing to do
  EXPECT_TRUE(shown.empty());
}

TEST_F(IndexDatabaseTest, UpdateGivesAnOldDatabaseTheSubstringIndexKeepingItsRows) {
  const std::string dbname = OldDatabase("old.mdb");
  const std::string descriptor = Descriptor(dbname, "*.txt;");
  UpgradeIndex(descriptor, record_);  // a search: the size column, but no index yet
  EXPECT_FALSE(db::Database::Open(dbname).HasSubstringIndex());
  {
    // Rows 2 and 3 of four, so that the numbers have a gap the rewrite must keep.
    db::Database database = db::Database::Open(dbname);
    db::Recordset rs = database.OpenRecordset("ContentIndex");
    for (const char* text : {"Первый документ", "second Document", "третий", "fourth"}) {
      rs.AddNew();
      rs.SetField("content", db::Value(text));
      rs.SetField("location", db::Value(std::string("/d/") + text));
      rs.Update();
    }
    database.Execute("DELETE * FROM ContentIndex WHERE content = 'третий' OR title = 'old'");
  }
  std::vector<std::string> log;
  const LogSink toLog = [&log](std::string_view line) { log.emplace_back(line); };

  shown.clear();
  UpgradeIndex(descriptor, record_, toLog);  // the update
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("индекс подстрок"), std::string::npos);

  db::Database database = db::Database::Open(dbname);
  EXPECT_TRUE(database.HasSubstringIndex());
  db::Recordset rs = database.OpenRecordset(
      "SELECT location FROM ContentIndex WHERE content LIKE '*ДОКУМЕНТ*' OR content LIKE "
      "'*document*'");
  ASSERT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Field("location").AsText(), "/d/Первый документ");
  rs.MoveNext();
  EXPECT_EQ(rs.Field("location").AsText(), "/d/second Document");
  // A row added after the upgrade is found through the index as well.
  db::Recordset table = database.OpenRecordset("ContentIndex");
  table.AddNew();
  table.SetField("content", db::Value("fifth document"));
  table.SetField("location", db::Value("/d/5"));
  table.Update();
  EXPECT_EQ(database
                .OpenRecordset("SELECT location FROM ContentIndex WHERE content LIKE "
                               "'*fifth*'")
                .RecordCount(),
            1);
  log.clear();
  UpgradeIndex(descriptor, record_, toLog);
  EXPECT_TRUE(log.empty());
}

TEST(UpgradeIndexText, RulesOfTheOldForms) {
  EXPECT_FALSE(IsOldExtList(""));
  EXPECT_FALSE(IsOldExtList("*.txt;*.doc;"));
  EXPECT_TRUE(IsOldExtList("txt;"));
  EXPECT_EQ(UpgradeUserFiles("cpp;;pas"), "*.cpp;;*.pas");
  EXPECT_EQ(UpgradeExtList("pdf;mp3;"), "*.pdf;*.mp3;");
}

}  // namespace
}  // namespace zyl::catalog
