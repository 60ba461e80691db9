#include "catalog/IndexDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <vector>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/UpgradeIndex.h"
#include "db/Database.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

class IndexDatabaseTest : public ::testing::Test {
 protected:
  IndexDatabaseTest() { EnsureTemplateDatabase(home.path()); }
  // A database as an old version wrote it: ContentIndex without filesize.
  std::string OldDatabase(const std::string& name) {
    const std::string path = home.file(name);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location TEXT, "
                 "type TEXT, modified TEXT); INSERT INTO ContentIndex(title) VALUES('old');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
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

TEST(UpgradeIndexText, RulesOfTheOldForms) {
  EXPECT_FALSE(IsOldExtList(""));
  EXPECT_FALSE(IsOldExtList("*.txt;*.doc;"));
  EXPECT_TRUE(IsOldExtList("txt;"));
  EXPECT_EQ(UpgradeUserFiles("cpp;;pas"), "*.cpp;;*.pas");
  EXPECT_EQ(UpgradeExtList("pdf;mp3;"), "*.pdf;*.mp3;");
}

}  // namespace
}  // namespace zyl::catalog
