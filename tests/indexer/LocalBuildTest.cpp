#include "indexer/LocalBuild.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/Descriptor.h"
#include "catalog/IndexDatabase.h"
#include "catalog/NewIndex.h"
#include "db/Database.h"
#include "db/DbTestUtil.h"
#include "extract/ArchiveSamples.h"
#include "extract/DocumentTypes.h"
#include "extract/process/OfficeHelper.h"
#include "indexer/IndexUpdate.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/RecordingHost.h"
#include "support/StoredRows.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::indexer {
namespace {

using test::RecordingHost;

using test::WriteZip;

class LocalBuildTest : public ::testing::Test {
 protected:
  LocalBuildTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    docs = home.file("docs") + "/";
    home.write("docs/a.txt", "alpha text");
    home.write("docs/sub/b.txt", "beta text");
    home.write("docs/page.htm", "<html><head><title>Page</title></head><body>gamma</body></html>");
    home.write("docs/code.cpp", "int main() {}");
    home.write("docs/skip.bin", "not chosen");
    home.write("docs/broken.doc", "not a word file");
    WriteZip(home.file("docs/pack.zip"), {{"inner/c.txt", "delta"}, {"d.htm", "<p>eps</p>"}});
    def.title = "Docs";
    def.descriptorPath = home.file("index/Docs.zyl");
    def.dbname = home.file("index/Docs.mdb");
    base::MakeFolders(home.file("index"));
    def.types = {"txt", "html", "doc"};
    def.ext = extract::DescriptorMaskList(
        [this](std::string_view c) { return def.types.count(std::string(c)) != 0; });
    def.UserFiles = "*.cpp;";
    def.archive = true;
    def.folders = {{docs, true}};
  }
  ~LocalBuildTest() override { settings::Config().RecentIndex.clear(); }

  std::vector<std::string> Locations() { return test::StoredLocations(def.dbname); }

  test::ProgramFolderScope home;
  std::string docs;
  catalog::IndexDefinition def;
};

TEST_F(LocalBuildTest, OnlyEncryptedDocumentsAreLoggedAsNeedingAPassword) {
  const std::string office = home.file("office") + "/";
  home.write("office/locked.doc", test::ReadFile(test::FixturePath("office/protected.doc")));
  home.write("office/workbook.doc", test::ReadFile(test::FixturePath("office/sample.xls")));
  def.folders = {{office, true}};
  def.archive = false;
  RecordingHost host;
  const BuildResult r = StartIndex(def, host, {.workers = 1, .commitEvery = 2});
  ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error;
  EXPECT_EQ(r.failures, 2);
  EXPECT_NE(host.log.find(office + "locked.doc... не удалось, требуется пароль.\r\n"),
            std::string::npos);
  EXPECT_NE(host.log.find(office + "workbook.doc... не удалось, ошибка ввода-вывода.\r\n"),
            std::string::npos);
}

TEST_F(LocalBuildTest, BuildsRowsInFileListOrderAndWritesTheDescriptorLast) {
  for (unsigned workers : {1u, 3u}) {
    RecordingHost host;
    const BuildResult r = StartIndex(def, host, {.workers = workers, .commitEvery = 2});
    ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error;
    // Masks in build order: txt (subfolders first), doc, html, archives, user masks.
    EXPECT_EQ(Locations(),
              (std::vector<std::string>{docs + "sub/b.txt", docs + "a.txt", docs + "page.htm",
                                        "arc:" + docs + "pack.zip//inner/c.txt",
                                        "arc:" + docs + "pack.zip//d.htm", docs + "code.cpp"}));
    EXPECT_EQ(r.filesCount, 6);
    EXPECT_EQ(r.failures, 1);  // broken.doc
    EXPECT_NE(host.log.find(docs + "broken.doc... не удалось, ошибка ввода-вывода.\r\n"),
              std::string::npos);
    EXPECT_NE(host.log.find("Найдено  6.\r\nСоединение с файлом индекса...  успешно.\r\n"
                            "Обработка файлов:\r\n"),
              std::string::npos);
    EXPECT_NE(host.log.find(docs + "a.txt...успешно.\r\n"), std::string::npos);
    EXPECT_NE(host.log.find("Обработано файлов:  6.\r\nОшибок:  1.\r\nФайл индекса: " +
                            def.descriptorPath + "\r\nВремя: 00:00:"),
              std::string::npos);
    const std::string descriptor = test::ReadFile(def.descriptorPath);
    EXPECT_NE(descriptor.find("FilesCount=6\r\n"), std::string::npos);
    EXPECT_NE(descriptor.find("Archive=1\r\n"), std::string::npos);
    EXPECT_EQ(settings::Config().RecentIndex.rfind(def.descriptorPath, 0), 0u);

    // The host gets the stages in order and one count per listed file (the archive is one).
    EXPECT_EQ(host.stages,
              (std::vector<Stage>{Stage::kSearchingFiles, Stage::kProcessingFiles, Stage::kReady}));
    ASSERT_EQ(host.counts.size(), 6u);
    for (std::size_t i = 0; i < host.counts.size(); ++i)
      EXPECT_EQ(host.counts[i], std::make_pair(static_cast<std::int64_t>(i + 1), std::int64_t{6}));
    EXPECT_NE(std::find(host.items.begin(), host.items.end(),
                        std::make_pair(ItemKind::kFile, docs + "pack.zip")),
              host.items.end());
    EXPECT_NE(std::find_if(host.items.begin(), host.items.end(),
                           [](const auto& item) {
                             return item.first == ItemKind::kFolder &&
                                    item.second.find("/sub") != std::string::npos;
                           }),
              host.items.end());
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST_F(LocalBuildTest, OfficeKindsAndMailboxesJoinTheIndexAndCountOnce) {
  home.write("docs/note.rtf", "{\\rtf1\\ansi{\\info{\\title Note}{\\author Ann}}Hello rtf\\par}");
  home.write("docs/table.csv", "a;b\r\n1;2\r\n");
  home.write("mail/popstate.dat", "");
  home.write("mail/Inbox",
             "From - Mon Dec  2 10:20:30 2002\r\nFrom: ann@example.test\r\nSubject: First\r\n"
             "Date: Mon, 2 Dec 2002 10:20:30 +0300\r\nMessage-ID: <1@x>\r\n"
             "Content-Type: text/plain; charset=windows-1251\r\n\r\nbody one\r\n"
             "From - Tue Dec  3 10:20:30 2002\r\nFrom: bob@example.test\r\nSubject: Second\r\n"
             "Message-ID: <2@x>\r\nContent-Type: text/plain;\r\n\r\nbody two\r\n");
  settings::Config().NetscapeFolders = home.file("mail");
  def.types = {"rtf", "csv", "mail_moz"};
  def.ext = extract::DescriptorMaskList(
      [this](std::string_view c) { return def.types.count(std::string(c)) != 0; });
  def.mailNetscape = true;
  def.archive = false;
  def.UserFiles.clear();
  RecordingHost host;
  const BuildResult r = StartIndex(def, host);
  ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error;
  EXPECT_EQ(Locations(), (std::vector<std::string>{docs + "note.rtf", docs + "table.csv",
                                                   "Inbox/<1@x>", "Inbox/<2@x>"}));
  EXPECT_EQ(r.filesCount, 4);
  EXPECT_NE(host.log.find("Netscape Messenger mailbox...done\r\n"), std::string::npos);
  auto total = [this](const char* key) {
    return settings::ReadIniValue("General", key, "", def.descriptorPath);
  };
  EXPECT_EQ(total("FilesCount"), "4");
  // The messages' sizes count as the files' do, and an update with nothing changed (which
  // re-reads the mailbox whole) counts the same totals as the build.
  const std::string size = total("FilesSize");
  EXPECT_EQ(size, std::to_string(r.filesSize));
  EXPECT_GT(r.filesSize, static_cast<std::int64_t>(std::filesystem::file_size(docs + "note.rtf") +
                                                   std::filesystem::file_size(docs + "table.csv")));
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  settings::Config().NetscapeFolders.clear();
  EXPECT_EQ(total("FilesCount"), "4");
  EXPECT_EQ(total("FilesSize"), size);
}

// The build is killed in the middle of the processing phase: the database it leaves behind opens
// and holds the rows of the groups committed before the kill.
TEST_F(LocalBuildTest, AKilledBuildLeavesADatabaseThatOpens) {
  for (int i = 0; i < 400; ++i)
    home.write("many/f" + std::to_string(i) + ".txt", "text " + std::to_string(i));
  def.folders = {{home.file("many") + "/", true}};
  def.types = {"txt"};
  def.UserFiles.clear();
  def.archive = false;
  home.write("index/Docs.zyl", "");  // the name reserved as the wizard and the command line do
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct SlowHost : RecordingHost {
      void Yield() override { ::usleep(2000); }
    } host;
    StartIndex(def, host, {.workers = 2, .commitEvery = 10});
    ::_exit(0);
  }
  std::int64_t rows = 0;
  bool takenForUnfinished = false;
  for (int tries = 0; tries < 500 && rows < 20; ++tries) {
    ::usleep(10000);
    try {
      db::Database database = db::Database::Open(def.dbname);
      rows = database.OpenRecordset("SELECT location FROM ContentIndex").RecordCount();
      // While the build runs, its empty descriptor is not that of an unfinished index.
      takenForUnfinished = takenForUnfinished || catalog::IsUnfinishedIndex(def.descriptorPath);
    } catch (const std::exception&) {
      // Not created yet.
    }
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_GE(rows, 20) << "the build did not get far enough before the kill";
  EXPECT_FALSE(takenForUnfinished);
  {
    db::Database database = db::Database::Open(def.dbname);
    const std::int64_t kept =
        database.OpenRecordset("SELECT location FROM ContentIndex").RecordCount();
    EXPECT_GE(kept, rows);
    EXPECT_LT(kept, 400);
    EXPECT_EQ(kept % 10, 0);  // whole groups only
    // Each group's postings were committed with its rows: a search narrowed by the substring
    // index finds every row that is left.
    ASSERT_TRUE(database.HasSubstringIndex());
    EXPECT_EQ(
        database.OpenRecordset("SELECT location FROM ContentIndex WHERE content LIKE '*text*'")
            .RecordCount(),
        kept);
  }

  // What is left is an unfinished index, and its name can be built again.
  EXPECT_EQ(test::ReadFile(def.descriptorPath), "");
  EXPECT_TRUE(catalog::IsUnfinishedIndex(def.descriptorPath));
  catalog::IndexDefinition again;
  ASSERT_EQ(catalog::DefineNewIndex("Docs", "", home.file("index"), again), "");
  again.folders = def.folders;
  again.types = def.types;
  again.ext = def.ext;
  RecordingHost host;
  const BuildResult r = StartIndex(again, host);
  ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error;
  EXPECT_EQ(r.filesCount, 400);
  EXPECT_EQ(Locations().size(), 400u);
  EXPECT_FALSE(catalog::IsUnfinishedIndex(def.descriptorPath));
}

TEST_F(LocalBuildTest, FailedArchivesAndRefusedRowsAreErrorsAndCutTextsAreSaid) {
  // An archive whose unpacking hangs, one the library lists but cannot extract, and a row the
  // database refuses (a constraint of the template on the size of refused.txt stands in for a
  // value too big to store).
  const std::string hang = home.write("bin/hang", "#!/bin/sh\nsleep 30\n");
  ::chmod(hang.c_str(), 0755);
  settings::Config().CabPath = hang;
  settings::Config().CabCmd = "%arc%";
  home.write("docs/slow.cab", "cabinet");
  home.write("docs/old.zip", test::ImplodedZip({"A.TXT"}, {}));
  home.write("docs/refused.txt", "never stored");  // 12 bytes
  ASSERT_TRUE(db::test::RawExec(
      catalog::TemplateDatabasePath(),
      "DROP TABLE ContentIndex; CREATE TABLE ContentIndex(id INTEGER PRIMARY KEY, title TEXT, "
      "author TEXT, location TEXT, type TEXT, modified TEXT, filesize INTEGER "
      "DEFAULT 0 CHECK (filesize <> 12), content TEXT);"));
  settings::Config().MaxTextBytes = 5;
  extract::SetHelperTimeLimit(std::chrono::milliseconds(500));
  RecordingHost host;
  const BuildResult r = StartIndex(def, host);
  extract::SetHelperTimeLimit(std::chrono::seconds(20));
  settings::LoadConfig();
  ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error;
  EXPECT_EQ(r.failures, 4);  // broken.doc, slow.cab, old.zip, refused.txt
  EXPECT_NE(host.log.find("Ошибок:  4."), std::string::npos);
  EXPECT_NE(host.log.find(docs + "refused.txt... не сохранено: база данных не приняла запись ("),
            std::string::npos)
      << host.log;
  const std::vector<std::string> stored = Locations();
  EXPECT_EQ(std::count(stored.begin(), stored.end(), docs + "refused.txt"), 0);
  EXPECT_NE(host.log.find("не удалось распаковать (сбой при чтении или истекло время): " + docs +
                          "slow.cab"),
            std::string::npos);
  EXPECT_NE(host.log.find("не удалось извлечь файлов: 1: " + docs + "old.zip"), std::string::npos);
  EXPECT_NE(host.log.find(docs + "a.txt...успешно.\r\nТекст документа обрезан: сохранены первые 5 "
                                 "байт.\r\n"),
            std::string::npos);
}

TEST_F(LocalBuildTest, NothingFoundStillWritesTheDescriptor) {
  def.folders = {{home.file("empty") + "/", true}};
  base::MakeFolders(home.file("empty"));
  RecordingHost host;
  const BuildResult r = StartIndex(def, host);
  ASSERT_EQ(r.outcome, BuildResult::kFinished);
  EXPECT_NE(host.log.find("Найдено  0."), std::string::npos);
  EXPECT_NE(test::ReadFile(def.descriptorPath).find("FilesCount=0\r\nFilesSize=0\r\n"),
            std::string::npos);
}

TEST_F(LocalBuildTest, StopWhileProcessingLeavesNothingBehindOrGoesOnWhenDeclined) {
  for (const bool confirm : {true, false}) {
    base::WriteFileAtomic(def.descriptorPath, "");  // left by the wizard's name check
    RecordingHost host;
    host.stopWhen = [](const std::string& log) {
      return log.find("a.txt...") != std::string::npos;
    };
    host.confirm = confirm;
    const BuildResult r = StartIndex(def, host, {.workers = 2});
    EXPECT_EQ(host.questions, 1);
    if (confirm) {
      EXPECT_EQ(r.outcome, BuildResult::kStoppedWhileProcessing);
      EXPECT_FALSE(base::FileExists(def.dbname));
      EXPECT_FALSE(base::FileExists(def.descriptorPath));
    } else {
      EXPECT_EQ(r.outcome, BuildResult::kFinished);
      EXPECT_EQ(Locations().size(), 6u);
    }
  }
}

TEST_F(LocalBuildTest, StopWhileSearchingDeletesTheEmptyDescriptor) {
  base::WriteFileAtomic(def.descriptorPath, "");
  RecordingHost host;
  host.stopWhen = [](const std::string&) { return true; };
  const BuildResult r = StartIndex(def, host);
  EXPECT_EQ(r.outcome, BuildResult::kStoppedWhileSearching);
  // One question: the folders the walk reports while it unwinds do not ask again.
  EXPECT_EQ(host.questions, 1);
  EXPECT_FALSE(base::FileExists(def.descriptorPath));
  EXPECT_FALSE(base::FileExists(def.dbname));
}

// Two builds at once in one process, each with its own options: each index gets what its own
// options say, whatever the other build or the settings record say.
TEST_F(LocalBuildTest, TwoBuildsAtOnceEachFollowTheirOwnOptions) {
  home.write("docs/r.pdf", test::ReadFile(test::FixturePath("office/sample.pdf")));
  catalog::IndexDefinition full = def, header = def;
  full.descriptorPath = home.file("index/Full.zyl");
  full.dbname = home.file("index/Full.mdb");
  full.pdfFull = true;
  full.types.insert("pdffull");
  header.descriptorPath = home.file("index/Header.zyl");
  header.dbname = home.file("index/Header.mdb");
  header.pdfMin = true;
  header.types.insert("pdfmin");
  BuildOptions strict = BuildOptions::FromSettings(settings::Config());
  strict.extract.archives.MaxMembers = 1;  // pack.zip holds two: refused whole
  strict.workers = 2;
  BuildOptions loose = BuildOptions::FromSettings(settings::Config());
  loose.workers = 2;
  settings::Config().MaxMembers = 1;  // the record is not what the builds follow

  RecordingHost fullHost, headerHost;
  BuildResult fullResult, headerResult;
  std::thread other([&] { fullResult = StartIndex(full, fullHost, strict); });
  headerResult = StartIndex(header, headerHost, loose);
  other.join();
  settings::Config().MaxMembers = settings::Settings{}.MaxMembers;
  ASSERT_EQ(fullResult.outcome, BuildResult::kFinished) << fullResult.error;
  ASSERT_EQ(headerResult.outcome, BuildResult::kFinished) << headerResult.error;

  auto pdfContent = [&](const std::string& dbname) {
    return db::test::RawText(dbname,
                             "SELECT content FROM ContentIndex WHERE location='" + docs + "r.pdf'");
  };
  EXPECT_NE(pdfContent(full.dbname).find("Quarterly report"), std::string::npos);
  EXPECT_EQ(pdfContent(header.dbname).find("Quarterly report"), std::string::npos);
  EXPECT_NE(pdfContent(header.dbname), "(no row)");

  auto archiveRows = [](const std::string& dbname) {
    std::size_t n = 0;
    for (const std::string& location : test::StoredLocations(dbname))
      if (location.rfind("arc:", 0) == 0) ++n;
    return n;
  };
  EXPECT_EQ(archiveRows(full.dbname), 0u);
  EXPECT_EQ(archiveRows(header.dbname), 2u);
}

}  // namespace
}  // namespace zyl::indexer
