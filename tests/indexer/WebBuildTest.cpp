#include "indexer/WebBuild.h"

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "catalog/NewIndex.h"
#include "db/Database.h"
#include "indexer/IndexUpdate.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/RecordingHost.h"
#include "support/StoredRows.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

namespace zyl::indexer {
namespace {

using LogHost = test::RecordingHost;

class WebBuildTest : public ::testing::Test {
 protected:
  WebBuildTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    site.ServeHtml("/",
                   "<html><head><title>Home</title></head><body>start <a href=\"a.htm\">A</a>"
                   "<a href=\"b.htm\">B</a></body></html>");
    site.ServeHtml("/a.htm", "<title>A</title><body>page a <a href=\"b.htm\">B</a></body>");
    site.ServeHtml("/b.htm", "<title>B</title><body>page b</body>");
    EXPECT_EQ(catalog::DefineNewIndex("Site", "web", settings::Config().IndexFolder, def), "");
    def.startUrl = site.url("/");
    def.depth = 1;
  }
  ~WebBuildTest() override { settings::Config().RecentIndex.clear(); }

  std::vector<std::string> Locations() { return test::StoredLocations(def.dbname); }

  test::ProgramFolderScope home;
  test::TestHttpServer site;
  catalog::IndexDefinition def;
};

TEST_F(WebBuildTest, BuildStoresEveryPageOnceAndWritesTheDescriptor) {
  LogHost host;
  const BuildResult r = StartWebIndex(def, host);
  ASSERT_EQ(r.outcome, BuildResult::kFinished) << r.error << host.log;
  EXPECT_EQ(Locations(),
            (std::vector<std::string>{site.url("/"), site.url("/a.htm"), site.url("/b.htm")}));
  const std::string descriptor = test::ReadFile(def.descriptorPath);
  EXPECT_NE(descriptor.find("IndexType=WebFolder\r\nFilesCount=3\r\n"), std::string::npos);
  EXPECT_NE(descriptor.find("StartURL=" + site.url("/") + "\r\nURLDept=1\r\n"), std::string::npos);
  EXPECT_EQ(settings::Config().RecentIndex.rfind(def.descriptorPath, 0), 0u);
  EXPECT_EQ(host.log.substr(0, 90), "Создаем индекс...успешно.\r\nОбработка веб страниц.\r\n");
}

TEST_F(WebBuildTest, UpdateCrawlsAgainAndDropsVanishedPages) {
  LogHost build;
  ASSERT_EQ(StartWebIndex(def, build).outcome, BuildResult::kFinished);
  site.Remove("/b.htm");
  site.ServeHtml("/a.htm", "<title>A</title><body>page a</body>");
  site.ServeHtml("/", "<title>Home</title><body><a href=\"a.htm\">A</a></body>");
  LogHost host;
  ASSERT_TRUE(UpdateIndex(def.descriptorPath, host)) << host.log;
  EXPECT_EQ(Locations(), (std::vector<std::string>{site.url("/"), site.url("/a.htm")}));
  EXPECT_EQ(settings::ReadIniValue("General", "FilesCount", "", def.descriptorPath), "2");
  EXPECT_TRUE(host.log.ends_with(std::string(48, '_')));
}

}  // namespace
}  // namespace zyl::indexer
