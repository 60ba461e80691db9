#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "base/Paths.h"
#include "catalog/DescriptorReader.h"
#include "catalog/IndexDatabase.h"
#include "catalog/IndexListRow.h"
#include "db/Database.h"
#include "indexer/IndexChoices.h"
#include "indexer/IndexUpdate.h"
#include "indexer/LocalBuild.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "support/RecordingHost.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::indexer {
namespace {

std::string Message(const std::string& subject, const std::string& body) {
  return "From: ann@example.com\nSubject: " + subject + "\nMessage-ID: <" + subject + "@x>\n\n" +
         body + "\n";
}

// docs/ holds a text file and a Maildir++ store with one subfolder, a second Maildir deeper
// down, and a folder that only looks like one (cur/ alone).
class MaildirTest : public ::testing::Test {
 protected:
  MaildirTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    docs = home.file("docs") + "/";
    home.write("docs/notes.txt", "plain notes");
    home.write("docs/Mail/cur/1.host:2,S", Message("one", "first body"));
    home.write("docs/Mail/new/2.host", Message("two", "second body"));
    home.write("docs/Mail/new/.partial", Message("hidden", "not a message"));
    home.write("docs/Mail/tmp/3.host", Message("three", "still being delivered"));
    home.write("docs/Mail/.Work/cur/4.host:2,", Message("four", "work folder"));
    home.write("docs/Mail/.Work/new/.keep", "");
    home.write("docs/Mail/.Work/tmp/.keep", "");
    home.write("docs/deep/Other/cur/5.host", Message("five", "deeper"));
    home.write("docs/deep/Other/new/.keep", "");
    home.write("docs/deep/Other/tmp/.keep", "");
    home.write("docs/Fake/cur/6.host", Message("six", "no new or tmp beside cur"));
    // A link to a folder is not followed, so a link back up cannot loop.
    std::filesystem::create_directory_symlink(home.file("docs"), home.file("docs/deep/loop"));
    def.title = "Mail";
    def.descriptorPath = home.file("Mail.zyl");
    def.dbname = home.file("Mail.mdb");
    def.types = {"txt", "maildir"};
    def.ext = "*.txt;";
    def.mailMaildir = true;
    def.folders = {{docs, true}};
  }
  ~MaildirTest() override { settings::Config().RecentIndex.clear(); }

  void Build() {
    test::RecordingHost host;
    ASSERT_EQ(StartIndex(def, host).outcome, BuildResult::kFinished) << host.log;
  }

  // location, type, title, content of every row in database order.
  using Row = std::tuple<std::string, std::string, std::string, std::string>;
  std::vector<Row> Rows() {
    std::vector<Row> out;
    db::Database database = db::Database::Open(def.dbname);
    db::Recordset rs =
        database.OpenRecordset("SELECT location, type, title, content FROM ContentIndex");
    for (; !rs.Eof(); rs.MoveNext())
      out.emplace_back(rs.Field(0).AsText(), rs.Field(1).AsText(), rs.Field(2).AsText(),
                       rs.Field(3).AsText());
    return out;
  }
  std::vector<std::string> Locations() {
    std::vector<std::string> out;
    for (const Row& r : Rows()) out.push_back(std::get<0>(r));
    return out;
  }

  test::ProgramFolderScope home;
  std::string docs;
  catalog::IndexDefinition def;
};

TEST_F(MaildirTest, BuildReadsCurAndNewOfEveryMaildirInTheTree) {
  // A user mask that also matches a message must not store it twice.
  def.UserFiles = "*:2,S;";
  Build();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], Row(docs + "notes.txt", "txt", "", "plain notes"));
  EXPECT_EQ(rows[1], Row(docs + "Mail/cur/1.host:2,S", "maildir", "one", "first body\n"));
  EXPECT_EQ(rows[2], Row(docs + "Mail/new/2.host", "maildir", "two", "second body\n"));
  EXPECT_EQ(rows[3], Row(docs + "Mail/.Work/cur/4.host:2,", "maildir", "four", "work folder\n"));
  EXPECT_EQ(std::get<0>(rows[4]), docs + "deep/Other/cur/5.host");
  EXPECT_TRUE(catalog::ReadIndexDefinition(def.descriptorPath).mailMaildir);
  const std::vector<std::string> labels = catalog::ReadIndexDetails(def.descriptorPath, {}).types;
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Maildir"), labels.end());
  EXPECT_EQ(settings::ReadIniValue("General", "FilesCount", "", def.descriptorPath), "5");
}

TEST_F(MaildirTest, BooksAndSavedMessagesAreRowsOfTheirOwnTypes) {
  // A zipped book is one document, not an archive to unpack, even with archives chosen.
  test::WriteZip(
      home.file("docs/book.fb2.zip"),
      {{"book.fb2",
        "<FictionBook><description><title-info><book-title>Книга</book-title>"
        "</title-info></description><body><p>text of the book</p></body></FictionBook>"}});
  home.write("docs/letter.eml", Message("saved", "a saved letter"));
  SetTypeChoices(def, {"fb2", "eml", "maildir"});
  def.archive = true;
  def.folders = {{docs, false}};
  Build();
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], Row(docs + "book.fb2.zip", "fb2", "Книга", "text of the book"));
  EXPECT_EQ(rows[1], Row(docs + "letter.eml", "eml", "saved", "a saved letter\n"));
  // Nor does the update's archive pass unpack it.
  test::RecordingHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  EXPECT_EQ(Rows(), rows) << host.log;
}

TEST_F(MaildirTest, FolderChosenAloneBringsItsOwnStoreOnly) {
  def.folders = {{docs + "Mail/", false}, {docs, false}};
  Build();
  EXPECT_EQ(Locations(), (std::vector<std::string>{docs + "notes.txt", docs + "Mail/cur/1.host:2,S",
                                                   docs + "Mail/new/2.host",
                                                   docs + "Mail/.Work/cur/4.host:2,"}));
  // Without the choice a Maildir is just folders of files no mask matches.
  def.mailMaildir = false;
  def.types = {"txt"};
  std::remove(def.dbname.c_str());
  Build();
  EXPECT_EQ(Locations(), (std::vector<std::string>{docs + "notes.txt"}));
}

TEST_F(MaildirTest, StopWhileLookingForMessagesIsAskedOnce) {
  // A folder chosen alone is listed without a walk: the Maildir search is where the stop is met.
  def.folders = {{docs + "Mail/", false}};
  for (const bool confirm : {false, true}) {
    test::RecordingHost host;
    host.stopWhen = [](const std::string&) { return true; };
    host.confirm = confirm;
    const BuildResult result = StartIndex(def, host);
    EXPECT_EQ(host.questions, 1);
    if (confirm) {
      EXPECT_EQ(result.outcome, BuildResult::kStoppedWhileSearching);
      EXPECT_FALSE(base::FileExists(def.descriptorPath));
    } else {
      EXPECT_EQ(result.outcome, BuildResult::kFinished);
      EXPECT_EQ(Locations().size(), 3u);
      std::filesystem::remove(def.dbname);
    }
  }
}

TEST_F(MaildirTest, UpdateTreatsMessagesAsFiles) {
  Build();
  const std::size_t built = Rows().size();
  {
    // Nothing changed: every message is known, none is added again or re-read.
    test::RecordingHost host;
    ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
    EXPECT_EQ(Rows().size(), built);
    EXPECT_EQ(host.log.find("Mail/"), std::string::npos) << host.log;
  }
  // A message read moves from new/ to cur/ and gets flags; another is edited; one is deleted;
  // one arrives.
  namespace fs = std::filesystem;
  fs::rename(home.file("docs/Mail/new/2.host"), home.file("docs/Mail/cur/2.host:2,S"));
  const std::string edited = home.write("docs/Mail/cur/1.host:2,S", Message("one", "edited"));
  utimbuf t{1100000000, 1100000000};
  utime(edited.c_str(), &t);
  fs::remove(home.file("docs/deep/Other/cur/5.host"));
  home.write("docs/Mail/new/7.host", Message("seven", "arrived"));
  test::RecordingHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 5u) << host.log;
  EXPECT_EQ(rows[0], Row(docs + "notes.txt", "txt", "", "plain notes"));
  EXPECT_EQ(rows[1], Row(docs + "Mail/cur/1.host:2,S", "maildir", "one", "edited\n"));
  EXPECT_EQ(std::get<0>(rows[2]), docs + "Mail/.Work/cur/4.host:2,");
  EXPECT_EQ(rows[3], Row(docs + "Mail/cur/2.host:2,S", "maildir", "two", "second body\n"));
  EXPECT_EQ(rows[4], Row(docs + "Mail/new/7.host", "maildir", "seven", "arrived\n"));
}

TEST(MaildirChoiceTest, WizardAndEditDialogKeepTheChoice) {
  catalog::IndexDefinition def;
  SetTypeChoices(def, {"txt", "maildir"});
  EXPECT_TRUE(def.mailMaildir);
  EXPECT_EQ(def.ext, "*.txt;");  // found by shape, not by a mask

  test::ProgramFolderScope home;
  const std::string path =
      home.write("A.zyl",
                 "[General]\r\next=*.txt;\r\nIndexType=local\r\n[Mail]\r\nMaildir=1\r\n"
                 "[Folders]\r\n/a/,1\r\n");
  EditableIndex e = LoadEditableIndex(path);
  EXPECT_EQ(e.types, (std::set<std::string>{"txt", "maildir"}));
  e.types = {"txt"};
  SaveEditedIndex(path, e);
  EXPECT_FALSE(catalog::ReadIndexDefinition(path).mailMaildir);
  e.types = {"maildir"};
  SaveEditedIndex(path, e);
  EXPECT_TRUE(catalog::ReadIndexDefinition(path).mailMaildir);
  EXPECT_EQ(LoadEditableIndex(path).types, std::set<std::string>{"maildir"});
}

}  // namespace
}  // namespace zyl::indexer
