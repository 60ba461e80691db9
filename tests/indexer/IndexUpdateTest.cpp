#include "indexer/IndexUpdate.h"

#include <gtest/gtest.h>
#include <utime.h>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "db/Database.h"
#include "extract/DocumentTypes.h"
#include "extract/GetFileInfo.h"
#include "indexer/LocalBuild.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "support/RecordingHost.h"
#include "support/TestSupport.h"

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
  extract::SetPdfFullText(false);
  settings::WriteIniValue("General", "PDF_Mode", "Full", def.descriptorPath);
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  EXPECT_TRUE(extract::PdfFullText());
  settings::WriteIniValue("General", "PDF_Mode", "Min", def.descriptorPath);
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host));
  EXPECT_FALSE(extract::PdfFullText());
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
}

}  // namespace
}  // namespace zyl::indexer
