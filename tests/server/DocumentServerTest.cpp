#include "server/DocumentServer.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/DatabaseSink.h"
#include "catalog/Descriptor.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::server {
namespace {

class DocumentServerTest : public ::testing::Test {
 protected:
  DocumentServerTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    // An index "Docs" with two documents, one of them with a quote and blanks in its path.
    doc1 = home.write("files/it's a doc.txt", "budget <b>report</b> for the year");
    doc2 = home.write("files/other.txt", "nothing");
    catalog::IndexDefinition def;
    def.title = "Docs";
    def.descriptorPath = home.file("Docs.zyl");
    def.dbname = home.file("Docs.mdb");
    catalog::CreateIndexDatabase(def.dbname);
    {
      catalog::DatabaseSink sink(def.dbname);
      for (const std::string& path : {doc1, doc2}) {
        catalog::FileInfo info;
        info.location = path;
        info.content = test::ReadFile(path);
        info.title = "T<" + path.substr(path.size() - 6) + ">";
        info.type = "txt";
        info.filesize = 10;
        catalog::SaveContentInfo(sink, info);
      }
    }
    catalog::WriteLocalDescriptor(def);
    settings::Config().RecentIndex = def.descriptorPath;
  }
  ~DocumentServerTest() override { settings::Config().RecentIndex.clear(); }

  std::string Get(DocumentServer& server, const std::string& target) {
    return server.Handle("GET " + target + " HTTP/1.0\r\n\r\n", endpoint).text;
  }

  test::ProgramFolderScope home;
  std::string doc1, doc2;
  ServerEndpoint endpoint{"127.0.0.1", 8080};
};

TEST_F(DocumentServerTest, HelloFillsTheAddressAndTheIndexList) {
  DocumentServer server;
  const std::string reply = Get(server, "/?action=Hello");
  EXPECT_TRUE(reply.starts_with(
      "HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: text/html; charset=utf-8\r\n\r\n"));
  EXPECT_NE(reply.find("http://127.0.0.1:8080/"), std::string::npos);
  EXPECT_EQ(reply.find("DomainName:LocalPort"), std::string::npos);
  EXPECT_NE(reply.find("<option>Docs</option>"), std::string::npos);
}

TEST_F(DocumentServerTest, UnknownActionsGetNoReply) {
  DocumentServer server;
  EXPECT_TRUE(server.Handle("GET / HTTP/1.0\r\n\r\n", endpoint).empty());
  EXPECT_TRUE(server.Handle("GET /?action=other HTTP/1.0\r\n\r\n", endpoint).empty());
  EXPECT_TRUE(server.Handle("GET /?a=1&b HTTP/1.0\r\n\r\n", endpoint).empty());
}

TEST_F(DocumentServerTest, FindFileRendersEscapedHitsWithWorkingLinks) {
  DocumentServer server;
  const std::string page = Get(server, "/?action=findfile&indexname=Docs&content=budget");
  EXPECT_TRUE(page.starts_with("HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: \r\n\r\n"));
  EXPECT_NE(page.find("<Font Color=Red>budget</Font> &lt;b&gt;report"), std::string::npos);
  EXPECT_NE(page.find("T&lt;"), std::string::npos);
  EXPECT_EQ(page.find("other.txt"), std::string::npos);
  // The link of the hit fetches the document through getfile.
  const std::size_t at = page.find("http://127.0.0.1:8080/?action=getfile");
  ASSERT_NE(at, std::string::npos);
  std::string link = page.substr(at, page.find('"', at) - at);
  link = base::Replace(link, "&amp;", "&");
  const ReplyPlan file =
      server.Handle("GET " + link.substr(link.find("/?")) + " HTTP/1.0\r\n\r\n", endpoint);
  EXPECT_EQ(file.text, "HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: text/plain\r\n\r\n");
  EXPECT_EQ(file.streamFile, doc1);
  // An unknown index searches nothing.
  const std::string none = Get(server, "/?action=findfile&indexname=Nope&content=budget");
  EXPECT_EQ(none.find("budget</Font>"), std::string::npos);
}

TEST_F(DocumentServerTest, GetFileServesOnlyIndexedLocations) {
  DocumentServer server;
  const std::string forbidden =
      "HTTP/1.1 403 Access forbidden\r\nServer:\r\nContent-Type: text/html\r\n\r\n"
      "403 Access forbidden\r\n\r\n";
  const std::string secret = home.write("secret.txt", "x");
  EXPECT_EQ(Get(server, "/?action=getfile&indexname=Docs&location=" + secret), forbidden);
  EXPECT_EQ(Get(server, "/?action=getfile&indexname=Docs&location=%27%20OR%20%271%27%3D%271"),
            forbidden);
  EXPECT_EQ(Get(server, "/?action=getfile&indexname=Nope&location=" + doc2), forbidden);
  // Indexed, then deleted: 200 with nothing to send.
  std::remove(doc2.c_str());
  const ReplyPlan gone = server.Handle(
      "GET /?action=getfile&indexname=Docs&location=" + doc2 + " HTTP/1.0\r\n\r\n", endpoint);
  EXPECT_TRUE(gone.text.starts_with("HTTP/1.0 200 Ok"));
  EXPECT_TRUE(gone.streamFile.empty());
}

TEST_F(DocumentServerTest, GetFileRefusesWhatIsNoLongerARegularFile) {
  DocumentServer server;
  const std::string forbidden = BuildReply({"403", "", ""});
  const std::string secret = home.write("secret.txt", "never indexed");
  // The indexed file replaced by a link to another one: the link's target is not served.
  std::remove(doc1.c_str());
  ASSERT_EQ(::symlink(secret.c_str(), doc1.c_str()), 0);
  const std::string target = "/?action=getfile&indexname=Docs&location=";
  EXPECT_EQ(Get(server, target + UrlEncodeComponent(doc1)), forbidden);
  // Replaced by a folder, then by a FIFO.
  std::remove(doc2.c_str());
  ASSERT_EQ(::mkdir(doc2.c_str(), 0700), 0);
  EXPECT_EQ(Get(server, target + doc2), forbidden);
  ::rmdir(doc2.c_str());
  ASSERT_EQ(::mkfifo(doc2.c_str(), 0600), 0);
  EXPECT_EQ(Get(server, target + doc2), forbidden);
}

TEST_F(DocumentServerTest, GetFileLeavesTheDatabaseItLooksIntoAsItWas) {
  // Another program's database in the index folder, in the engine's rollback-journal mode.
  std::filesystem::create_directories(settings::Config().IndexFolder);
  const std::string foreign = base::JoinPath(settings::Config().IndexFolder, "foreign.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(foreign.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE ContentIndex(title, author, content, location, type, "
                         "modified, filesize);"
                         "INSERT INTO ContentIndex VALUES('t', '', '', '/none', 'txt', '', 0);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  const std::string before = test::ReadFile(foreign);
  DocumentServer server;
  EXPECT_TRUE(
      Get(server, "/?action=getfile&indexname=foreign&location=/none").starts_with("HTTP/1.0 200"));
  EXPECT_EQ(test::ReadFile(foreign), before);
}

TEST_F(DocumentServerTest, FindFileShowsARefusedConditionAndGoesOn) {
  DocumentServer server;
  const std::string query = "/?action=findfile&indexname=Docs&SearchType=3&content=";
  // A mistake in the condition.
  const std::string mistaken = Get(server, query + "title+%3D%3D+%27x");
  EXPECT_NE(mistaken.find("Ошибка в запросе"), std::string::npos) << mistaken;
  EXPECT_NE(mistaken.find("title == &#39;x"), std::string::npos);
  // A condition asking for endless work: 300 texts of 16 MB for every row.
  std::string endless;
  for (int i = 0; i < 300; ++i)
    endless += (i ? "+OR+" : "") + std::string("Len(Space(16000000))%3D1");
  EXPECT_NE(Get(server, query + endless).find("Ошибка в запросе"), std::string::npos);
  // The next request is answered as usual.
  const std::string page = Get(server, query + "content+LIKE+%27*budget*%27");
  EXPECT_EQ(page.find("Ошибка в запросе"), std::string::npos);
  EXPECT_NE(page.find("it&#39;s"), std::string::npos) << page;
}

TEST_F(DocumentServerTest, FindFileFindsAnIndexBuiltWhileTheServerRuns) {
  DocumentServer server;
  const std::string query = "/?action=findfile&indexname=Later&content=fresh";
  EXPECT_EQ(Get(server, query).find("fresh</Font>"), std::string::npos);
  // A build puts its index at the head of the list in config.ini.
  catalog::IndexDefinition def;
  def.title = "Later";
  def.descriptorPath = home.file("Later.zyl");
  def.dbname = home.file("Later.mdb");
  catalog::CreateIndexDatabase(def.dbname);
  {
    catalog::DatabaseSink sink(def.dbname);
    catalog::FileInfo info;
    info.location = home.write("new.txt", "fresh words");
    info.content = "fresh words";
    info.type = "txt";
    catalog::SaveContentInfo(sink, info);
  }
  catalog::WriteLocalDescriptor(def);
  settings::WriteIniValue("General", "RecentIndex",
                          def.descriptorPath + ";" + settings::Config().RecentIndex,
                          settings::ConfigIniPath());
  EXPECT_NE(Get(server, query).find("fresh</Font>"), std::string::npos);
  EXPECT_NE(Get(server, "/?action=hello").find("<option>Later</option>"), std::string::npos);
}

// Without a title of the recent list, getfile falls back to a database file of the index
// folder; a name that leaves that folder must not open databases elsewhere.
TEST_F(DocumentServerTest, GetFileFallbackTakesOnlyPlainNames) {
  settings::Config().IndexFolder = home.file("index/");
  const std::string copy = home.file("index/Copy.mdb");
  std::filesystem::create_directories(home.file("index"));
  std::filesystem::copy_file(home.file("Docs.mdb"), copy);
  DocumentServer server;
  EXPECT_TRUE(Get(server, "/?action=getfile&indexname=Copy&location=" + doc2)
                  .starts_with("HTTP/1.0 200 Ok"));
  // Docs.mdb lies beside the index folder, not in it.
  for (const std::string name : {"../Docs", "..%2FDocs", "%2E%2E/Docs", "", "x/../../Docs"}) {
    EXPECT_TRUE(Get(server, "/?action=getfile&indexname=" + name + "&location=" + doc2)
                    .starts_with("HTTP/1.1 403"))
        << name;
  }
  EXPECT_EQ(DatabaseOfIndex(home.file("Docs")), "");
  EXPECT_TRUE(IsPlainIndexName("My docs 2"));
  EXPECT_FALSE(IsPlainIndexName("a..b"));
  EXPECT_FALSE(IsPlainIndexName(std::string("Copy\0/x", 8)));
}

}  // namespace
}  // namespace zyl::server
