#include "indexer/IndexUpdate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "db/Database.h"
#include "db/DbTestUtil.h"
#include "extract/DocumentTypes.h"
#include "extract/GetFileInfo.h"
#include "extract/process/OfficeHelper.h"
#include "indexer/LocalBuild.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "support/RecordingHost.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::indexer {
namespace {

using LogHost = test::RecordingHost;

void Touch(const std::string& path, std::time_t when) {
  utimbuf t{when, when};
  utime(path.c_str(), &t);
}

class IndexUpdateTest : public ::testing::Test {
 protected:
  IndexUpdateTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    docs = home.file("docs") + "/";
    home.write("docs/a.txt", "alpha");
    home.write("docs/b.txt", "beta");
    home.write("docs/sub/c.txt", "gamma");
    Touch(home.file("docs/a.txt"), 1000000000);
    def.title = "Docs";
    def.descriptorPath = home.file("Docs.zyl");
    def.dbname = home.file("Docs.mdb");
    def.types = {"txt"};
    def.ext = "*.txt;";
    def.folders = {{docs, true}};
    LogHost host;
    EXPECT_EQ(StartIndex(def, host).outcome, BuildResult::kFinished);
  }
  ~IndexUpdateTest() override { settings::Config().RecentIndex.clear(); }

  std::vector<std::pair<std::string, std::string>> Rows() {
    std::vector<std::pair<std::string, std::string>> out;
    db::Database database = db::Database::Open(def.dbname);
    db::Recordset rs = database.OpenRecordset("SELECT location, content FROM ContentIndex");
    while (!rs.Eof()) {
      out.emplace_back(rs.Field(0).AsText(), rs.Field(1).AsText());
      rs.MoveNext();
    }
    return out;
  }

  test::ProgramFolderScope home;
  std::string docs;
  catalog::IndexDefinition def;
};

TEST_F(IndexUpdateTest, NothingChangedKeepsEveryRow) {
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  using settings::LangString;
  EXPECT_EQ(host.log, "Открываем файл индекса \r\n" + def.descriptorPath + "... " +
                          LangString(settings::kUpdateDescriptorRead) +
                          "\r\nПоиск файлов...найдено  3.\r\n"
                          "Проверка ссылок на не существующие файлы.\r\n"
                          "Проверка на наличие модифицированных файлов.\r\n"
                          "Индексирование новых файлов\r\n"
                          "Обновление индекса завершено.\r\n\r\n" +
                          std::string(48, '_'));
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(settings::ReadIniValue("General", "FilesCount", "", def.descriptorPath), "3");
  EXPECT_EQ(settings::ReadIniValue("General", "FilesSize", "", def.descriptorPath), "14");
}

TEST_F(IndexUpdateTest, ChangedDeletedAndNewFiles) {
  home.write("docs/a.txt", "alpha two");
  Touch(home.file("docs/a.txt"), 1100000000);
  std::remove(home.file("docs/b.txt").c_str());
  home.write("docs/d.txt", "delta");
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], std::make_pair(docs + "sub/c.txt", std::string("gamma")));
  EXPECT_EQ(rows[1], std::make_pair(docs + "a.txt", std::string("alpha two")));
  EXPECT_EQ(rows[2], std::make_pair(docs + "d.txt", std::string("delta")));
  EXPECT_NE(host.log.find("Файл " + docs + "b.txt не существует. Удаляем ссылку.\r\n"),
            std::string::npos);
  EXPECT_NE(host.log.find("Файл " + docs + "a.txt был изменен.." +
                          settings::LangString(settings::kUpdateFileUpdated) + "\r\n"),
            std::string::npos);
  EXPECT_NE(host.log.find("Добавляем файл " + docs + "d.txt...успешно\r\n"), std::string::npos);
  EXPECT_EQ(settings::ReadIniValue("General", "FilesCount", "", def.descriptorPath), "3");
}

// Changed files are saved in groups; every group, the last one short, holds its rows and their
// substring index entries.
TEST_F(IndexUpdateTest, ChangedFilesSpanningGroupsAreAllSavedAndFound) {
  for (const char* name : {"docs/a.txt", "docs/b.txt", "docs/sub/c.txt"}) {
    home.write(name, std::string(name) + " renewed");
    Touch(home.file(name), 1100000000);
  }
  LogHost host;
  UpdateOptions options = UpdateOptions::FromSettings(settings::Config());
  options.commitEvery = 2;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host, options)) << host.log;
  for (const auto& [location, content] : Rows())
    EXPECT_TRUE(content.ends_with(" renewed")) << location << ": " << content;
  db::Database database = db::Database::Open(def.dbname);
  ASSERT_TRUE(database.HasSubstringIndex());
  EXPECT_EQ(
      database.OpenRecordset("SELECT location FROM ContentIndex WHERE content LIKE '*renewed*'")
          .RecordCount(),
      3);
}

// With the shipped language files, the line after a changed file and the word after an added
// file read as they should (they once shared their keys with other texts).
TEST_F(IndexUpdateTest, ShippedLanguagesGiveEachLineItsOwnText) {
  struct Expected {
    const char* file;
    std::string descriptorRead, changed, added;
  };
  const Expected languages[] = {
      {"russian.lng", "... успешно.\r\n", "был изменен..индекс обновлен успешно.\r\n",
       "d.txt...успешно\r\n"},
      {"english.lng", "... done.\r\n", "was changed..index updated.\r\n", "d.txt...done\r\n"},
  };
  std::time_t when = 1100000000;
  for (const Expected& language : languages) {
    settings::Config().Lang = home.file(language.file);
    home.write("docs/a.txt", "alpha again");
    Touch(home.file("docs/a.txt"), when += 1000);
    std::remove(home.file("docs/d.txt").c_str());
    LogHost first;
    ASSERT_TRUE(UpdateIndex(def.descriptorPath, first));
    home.write("docs/d.txt", "delta");
    LogHost host;
    home.write("docs/a.txt", "alpha once more");
    Touch(home.file("docs/a.txt"), when += 1000);
    ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
    EXPECT_NE(host.log.find(language.descriptorRead), std::string::npos) << host.log;
    EXPECT_NE(host.log.find(language.changed), std::string::npos) << host.log;
    EXPECT_NE(host.log.find(language.added), std::string::npos) << host.log;
  }
  settings::Config().Lang.clear();
}

// Locations are stored whole: a path longer than the title limit can be found again, so an
// update leaves its row alone instead of deleting and adding it on every run.
TEST_F(IndexUpdateTest, LongLocationsAreStoredWholeAndKeptByTheUpdate) {
  const std::string deep = "docs/" + std::string(200, 'd') + "/" + std::string(120, 'f') + ".txt";
  const std::string path = home.write(deep, "deep file");
  LogHost first;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, first));
  bool stored = false;
  for (const auto& [location, content] : Rows()) stored = stored || location == path;
  EXPECT_TRUE(stored) << path;
  LogHost second;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, second));
  EXPECT_EQ(second.log.find("Удаляем ссылку"), std::string::npos) << second.log;
  EXPECT_EQ(second.log.find("Добавляем файл"), std::string::npos) << second.log;
  EXPECT_EQ(Rows().size(), 4u);
}

// A [Folders] line with an empty path names no folder: it must not make the update index the
// working folder of the process.
TEST_F(IndexUpdateTest, EmptyFolderPathsAreSkippedWithALogLine) {
  const test::TempDir elsewhere;
  elsewhere.write("stray.txt", "not chosen");
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(elsewhere.path());
  settings::AddIniLines("Folders", {",0", ",1"}, def.descriptorPath);
  LogHost host;
  const bool updated = UpdateIndex(def.descriptorPath, host);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(updated) << host.log;
  EXPECT_EQ(host.log.find("stray.txt"), std::string::npos) << host.log;
  EXPECT_EQ(Rows().size(), 3u);
  const std::string skipped = settings::LangString(settings::kUpdateEmptyFolderSkipped) + "\r\n";
  const std::size_t at = host.log.find(skipped);
  ASSERT_NE(at, std::string::npos) << host.log;
  EXPECT_NE(host.log.find(skipped, at + 1), std::string::npos);
  EXPECT_NE(host.log.find("найдено  3."), std::string::npos);
}

// A row the database refuses is logged as a failure, never as a file added.
TEST_F(IndexUpdateTest, RefusedRowIsLoggedAsAFailure) {
  // A second document with the text of a.txt breaks this constraint.
  ASSERT_TRUE(db::test::RawExec(def.dbname, "CREATE UNIQUE INDEX refuse ON ContentIndex(content)"));
  home.write("docs/refused.txt", "alpha");
  home.write("docs/taken.txt", "t");
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  using settings::LangString;
  EXPECT_NE(host.log.find("refused.txt..." + LangString(settings::kUpdateIoError) + "\r\n"),
            std::string::npos)
      << host.log;
  EXPECT_NE(host.log.find("taken.txt..." + LangString(settings::kUpdateSuccess) + "\r\n"),
            std::string::npos);
  EXPECT_FALSE(host.messages.empty());
  EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(IndexUpdateTest, ChangedFileKeepsTitleAndSizeAndEmptyIndexWritesZeros) {
  std::remove(home.file("docs/a.txt").c_str());
  std::remove(home.file("docs/b.txt").c_str());
  std::remove(home.file("docs/sub/c.txt").c_str());
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host)) << host.log;
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(settings::ReadIniValue("General", "FilesCount", "", def.descriptorPath), "0");
  EXPECT_EQ(settings::ReadIniValue("General", "FilesSize", "", def.descriptorPath), "0");
}

TEST_F(IndexUpdateTest, PdfModeComesFromTheDescriptor) {
  const std::string pdf =
      home.write("docs/r.pdf", test::ReadFile(test::FixturePath("office/sample.pdf")));
  auto pdfContent = [&] {
    for (const auto& [location, content] : Rows())
      if (location == pdf) return content;
    return std::string("(no row)");
  };
  settings::WriteIniValue("General", "ext", "*.txt;*.pdf;", def.descriptorPath);
  settings::WriteIniValue("General", "PDF_Mode", "Full", def.descriptorPath);
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  EXPECT_NE(pdfContent().find("Quarterly report"), std::string::npos) << pdfContent();
  // The same file re-read under the header scan of a "Min" index.
  settings::WriteIniValue("General", "PDF_Mode", "Min", def.descriptorPath);
  Touch(pdf, 1100000000);
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  EXPECT_EQ(pdfContent().find("Quarterly report"), std::string::npos) << pdfContent();
}

TEST_F(IndexUpdateTest, MembersOfAnArchiveThatCouldNotBeUnpackedThisTimeStay) {
  const std::string good = home.write("bin/arc", "#!/bin/sh\necho member text > m.txt\n");
  const std::string hang = home.write("bin/hang", "#!/bin/sh\nsleep 30\n");
  ::chmod(good.c_str(), 0755);
  ::chmod(hang.c_str(), 0755);
  settings::Config().CabPath = good;
  settings::Config().CabCmd = "%arc%";
  home.write("docs/pack.cab", "cabinet");
  def.archive = true;
  LogHost build;
  ASSERT_EQ(StartIndex(def, build).outcome, BuildResult::kFinished);
  const std::string member = "arc:" + docs + "pack.cab//m.txt";
  ASSERT_EQ(Rows().back().first, member);

  settings::Config().CabPath = hang;
  extract::SetHelperTimeLimit(std::chrono::milliseconds(500));
  LogHost host;
  const bool updated = UpdateIndex(def.descriptorPath, host);
  extract::SetHelperTimeLimit(std::chrono::seconds(20));
  settings::Config().CabPath.clear();
  EXPECT_TRUE(updated);
  EXPECT_NE(host.log.find("не удалось распаковать"), std::string::npos) << host.log;
  EXPECT_EQ(Rows().back().first, member);
}

TEST_F(IndexUpdateTest, BatchUpdateWritesItsLogAndReportsAMissingDescriptor) {
  const std::string log = home.file("update.log");
  const std::string text = RunBatchUpdate(def.descriptorPath, log);
  EXPECT_EQ(test::ReadFile(log), text + "\r\n");
  EXPECT_NE(text.find("Обновление индекса завершено."), std::string::npos);
  const std::string missing = RunBatchUpdate(home.file("nope.zyl"), log);
  EXPECT_EQ(missing, "Файл " + home.file("nope.zyl") + " не существует.");
  EXPECT_EQ(test::ReadFile(log), missing + "\r\n");
  EXPECT_FALSE(base::FileExists(home.file("nope.zyl")));
  EXPECT_EQ(RunBatchUpdate("", ""), "Файл  не существует.");

  // Whether the update was done, for the exit status of the command line.
  bool updated = false;
  RunBatchUpdate(def.descriptorPath, "", nullptr, &updated);
  EXPECT_TRUE(updated);
  RunBatchUpdate(home.file("nope.zyl"), "", nullptr, &updated);
  EXPECT_FALSE(updated);
  std::remove(def.dbname.c_str());
  updated = true;
  const std::string failed = RunBatchUpdate(def.descriptorPath, log, nullptr, &updated);
  EXPECT_FALSE(updated);
  EXPECT_EQ(test::ReadFile(log), failed + "\r\n");
}

// The archive pass adds new members through one row sink, refreshes changed ones and drops the
// members that are gone, and the rows it writes are all there when it ends.
TEST_F(IndexUpdateTest, ArchivePassAddsRefreshesAndRemovesMembers) {
  settings::WriteIniValue("General", "Archive", "1", def.descriptorPath);
  const std::string zip = home.file("docs/pack.zip");
  test::WriteZip(zip, {{"one.txt", "first"}, {"two.txt", "second"}, {"sub/three.txt", "third"}});
  LogHost host;
  UpdateOptions options = UpdateOptions::FromSettings(settings::Config());
  options.commitEvery = 2;  // the pass spans more than one group
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host, options)) << host.log;
  auto members = [&] {
    std::vector<std::pair<std::string, std::string>> out;
    for (auto& row : Rows())
      if (row.first.rfind("arc:", 0) == 0) out.push_back(row);
    std::sort(out.begin(), out.end());
    return out;
  };
  const std::string prefix = "arc:" + zip + "//";
  EXPECT_EQ(members(),
            (std::vector<std::pair<std::string, std::string>>{{prefix + "one.txt", "first"},
                                                              {prefix + "sub/three.txt", "third"},
                                                              {prefix + "two.txt", "second"}}));

  // The same members again are neither added twice nor lost; a vanished one goes.
  test::WriteZip(zip, {{"one.txt", "first"}, {"two.txt", "second"}, {"four.txt", "fourth"}});
  LogHost again;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, again, options)) << again.log;
  EXPECT_EQ(members(),
            (std::vector<std::pair<std::string, std::string>>{{prefix + "four.txt", "fourth"},
                                                              {prefix + "one.txt", "first"},
                                                              {prefix + "two.txt", "second"}}));
  EXPECT_TRUE(again.messages.empty());
}

}  // namespace
}  // namespace zyl::indexer
