// A program folder with three recent indexes for the window tests: a local index, a web index
// and an entry whose descriptor is gone.
#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <string>

#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::test {

class ManagerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    settings::Config() = settings::Settings();
    settings::LoadConfig();
    settings::Config().Lang = home_.file("russian.lng");
    settings::Config().Help = home_.file("help/index.html");
    catalog::EnsureTemplateDatabase(home_.path());
    docs_ = home_.file("docs");
    home_.write("docs/a.txt", "первый документ");
    local_ = home_.write("index/Local.zyl",
                         "[General]\r\nversion=0.99\r\ndbname=" + home_.file("index/Local.mdb") +
                             "\r\ntitle=Документы\r\ndesc=Рабочие/nбумаги\r\nIndexType=local\r\n"
                             "FilesCount=1234\r\nFilesSize=921600\r\next=*.txt;*.htm*;\r\n"
                             "UserFiles=*.cpp;\r\n[Folders]\r\n" +
                             docs_ + "/,1\r\n/srv/old/,0\r\n");
    catalog::CreateIndexDatabase(home_.file("index/Local.mdb"));
    web_ = home_.write("index/Web.zyl",
                       "[General]\r\nversion=0.99\r\ndbname=" + home_.file("index/Web.mdb") +
                           "\r\ntitle=Сайт\r\nIndexType=WebFolder\r\nFilesCount=20\r\n"
                           "FilesSize=307200\r\nStartURL=http://intranet/\r\nURLDept=2\r\n");
    catalog::CreateIndexDatabase(home_.file("index/Web.mdb"));
    gone_ = home_.file("index/Gone.zyl");
    SetRecent(local_ + ";" + web_ + ";" + gone_ + ";");
  }
  void TearDown() override {
    settings::Config() = settings::Settings();
    QLocale::setDefault(QLocale::c());
  }

  void SetRecent(const std::string& list) {
    settings::WriteIniValue("General", "RecentIndex", list, settings::ConfigIniPath());
    settings::Config().RecentIndex = list;
  }
  std::string Recent() const {
    return settings::ReadIniValue("General", "RecentIndex", "", settings::ConfigIniPath());
  }
  std::string Config(std::string_view section, std::string_view key) const {
    return settings::ReadIniValue(section, key, "", settings::ConfigIniPath());
  }

  ProgramFolderScope home_;
  std::string docs_, local_, web_, gone_;
};

}  // namespace zyl::test
