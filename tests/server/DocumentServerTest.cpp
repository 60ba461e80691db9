#include "server/DocumentServer.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/SmallIndex.h"
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
    std::vector<test::Doc> docs;
    for (const std::string& path : {doc1, doc2})
      docs.push_back(
          {path, test::ReadFile(path), "txt", "", "T<" + path.substr(path.size() - 6) + ">"});
    settings::Config().RecentIndex = test::MakeSmallIndex(home.path(), "Docs", docs).descriptorPath;
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

// Only a regular file the index holds is served: not another file, not an unknown index, and
// not an indexed path replaced since by a link, a folder or a FIFO.
TEST_F(DocumentServerTest, GetFileServesOnlyIndexedRegularFiles) {
  DocumentServer server;
  const std::string forbidden =
      "HTTP/1.1 403 Access forbidden\r\nServer:\r\nContent-Type: text/html\r\n\r\n"
      "403 Access forbidden\r\n\r\n";
  const std::string target = "/?action=getfile&indexname=Docs&location=";
  const std::string secret = home.write("secret.txt", "never indexed");
  EXPECT_EQ(Get(server, target + secret), forbidden);
  EXPECT_EQ(Get(server, target + "%27%20OR%20%271%27%3D%271"), forbidden);
  EXPECT_EQ(Get(server, "/?action=getfile&indexname=Nope&location=" + doc2), forbidden);
  // Indexed, then deleted: 200 with nothing to send.
  std::remove(doc2.c_str());
  const ReplyPlan gone = server.Handle("GET " + target + doc2 + " HTTP/1.0\r\n\r\n", endpoint);
  EXPECT_TRUE(gone.text.starts_with("HTTP/1.0 200 Ok"));
  EXPECT_TRUE(gone.streamFile.empty());

  std::remove(doc1.c_str());
  ASSERT_EQ(::symlink(secret.c_str(), doc1.c_str()), 0);
  EXPECT_EQ(Get(server, target + UrlEncodeComponent(doc1)), forbidden);
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
  const catalog::IndexDefinition def = test::MakeSmallIndex(
      home.path(), "Later", {{home.write("new.txt", "fresh words"), "fresh words"}});
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

// An index "Many" whose documents are "/many/N.txt" holding "budget w" and N times "x", at
// the head of the recent list.
void AddManyIndex(test::ProgramFolderScope& home, int documents) {
  std::vector<test::Doc> docs;
  for (int i = 1; i <= documents; ++i)
    docs.push_back({"/many/" + std::to_string(i) + ".txt",
                    "budget w" + std::string(static_cast<std::size_t>(i), 'x')});
  settings::Config().RecentIndex = test::MakeSmallIndex(home.path(), "Many", docs).descriptorPath +
                                   ";" + settings::Config().RecentIndex;
}

// The href of the shipped template's link to the previous or next page, decoded as a browser
// would take it from the page.
std::string PagerLink(const std::string& page, bool next) {
  const std::size_t nav = page.find("<nav class=\"pager\">");
  std::size_t at = page.find("<a href=\"", nav);
  if (next) at = page.find("<a href=\"", at + 1);
  at += 9;
  return base::Replace(page.substr(at, page.find('"', at) - at), "&amp;", "&");
}

// The hits of a page of the shipped template, by their location.
std::vector<std::string> PageHits(const std::string& page) {
  std::vector<std::string> hits;
  for (std::size_t at = page.find("\">/many/"); at != std::string::npos;
       at = page.find("\">/many/", at + 1))
    hits.push_back(page.substr(at + 2, page.find('<', at) - at - 2));
  return hits;
}

// ResultsPerPage of server.ini splits the list; the shipped template tells the count and links
// to the neighbouring pages, which carry the search's variables along.
TEST_F(DocumentServerTest, ResultPagesHoldResultsPerPageWithCountAndLinks) {
  AddManyIndex(home, 5);
  settings::WriteIniValue("General", "ResultsPerPage", "2", settings::ServerIniPath());
  settings::LoadConfig();
  settings::Config().RecentIndex = home.file("Many.zyl");
  ASSERT_EQ(settings::Config().ResultsPerPage, 2);
  DocumentServer server;
  const std::string first = Get(server, "/?action=findfile&indexname=Many&content=budget");
  EXPECT_NE(first.find("Найдено: 5, показаны 1–2"), std::string::npos);
  EXPECT_EQ(PageHits(first), (std::vector<std::string>{"/many/1.txt", "/many/2.txt"}));
  EXPECT_EQ(PagerLink(first, false), "");
  const std::string next = PagerLink(first, true);
  ASSERT_NE(next, "");
  const std::string second = Get(server, next);
  EXPECT_NE(second.find("показаны 3–4"), std::string::npos);
  EXPECT_EQ(PageHits(second), (std::vector<std::string>{"/many/3.txt", "/many/4.txt"}));
  // Numbering goes on from the page before.
  EXPECT_NE(second.find("<span class=\"num\">3.</span>"), std::string::npos);
  const std::string third = Get(server, PagerLink(second, true));
  EXPECT_EQ(PageHits(third), (std::vector<std::string>{"/many/5.txt"}));
  EXPECT_EQ(PagerLink(third, true), "");
  EXPECT_EQ(PageHits(Get(server, PagerLink(second, false))), PageHits(first));
  // A page beyond the end shows the last one.
  EXPECT_EQ(PageHits(Get(server, "/?action=findfile&indexname=Many&content=budget&page=9")),
            PageHits(third));

  // Without the key every hit is on the one page.
  settings::WriteIniValue("General", "ResultsPerPage", "", settings::ServerIniPath());
  settings::LoadConfig();
  settings::Config().RecentIndex = home.file("Many.zyl");
  EXPECT_EQ(settings::Config().ResultsPerPage, 0);
  const std::string all = Get(server, "/?action=findfile&indexname=Many&content=budget&page=2");
  EXPECT_EQ(PageHits(all).size(), 5u);
  EXPECT_EQ(PagerLink(all, true), "");
}

// Replies of HandleAsync, gathered from whichever thread makes them.
struct Replies {
  ReplyCallback Take(std::string name) {
    return [this, name](ReplyPlan plan) {
      const std::lock_guard lock(mutex);
      order.push_back(name);
      texts[name] = plan.text;
      changed.notify_all();
    };
  }
  bool WaitFor(std::size_t n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), [&] { return order.size() >= n; });
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> order;
  std::map<std::string, std::string> texts;
};

// Searches run at once on the server's workers: each request gets the rows of its own words,
// and every search is in the session's history afterwards.
TEST_F(DocumentServerTest, ConcurrentSearchesEachGetTheirOwnRows) {
  AddManyIndex(home, 12);
  settings::Config().UseHistory = true;
  DocumentServer server({}, 3);
  Replies replies;
  for (int i = 1; i <= 12; ++i) {
    const std::string word = "w" + std::string(static_cast<std::size_t>(i), 'x');
    server.HandleAsync(
        "GET /?action=findfile&indexname=Many&WholeWord=1&content=" + word + " HTTP/1.0\r\n\r\n",
        endpoint, replies.Take(word));
  }
  ASSERT_TRUE(replies.WaitFor(12));
  for (int i = 1; i <= 12; ++i) {
    const std::string word = "w" + std::string(static_cast<std::size_t>(i), 'x');
    EXPECT_EQ(PageHits(replies.texts[word]),
              (std::vector<std::string>{"/many/" + std::to_string(i) + ".txt"}))
        << word;
  }
  const search::SearchSession session = server.session();
  EXPECT_EQ(session.History().size(), 12u);
  settings::Config().UseHistory = false;
}

// A search that reads every row does not hold up one the substring index answers, nor a
// document look-up, even with one thread for full searches: here the full searches wait for
// an index that a writer holds locked until the quick work has been answered.
TEST_F(DocumentServerTest, QuickWorkIsNotHeldUpBySlowSearches) {
  AddManyIndex(home, 3);
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(home.file("Many.mdb").c_str(), &writer), SQLITE_OK);
  // Without the write-ahead log a writer's lock keeps readers out.
  ASSERT_EQ(sqlite3_exec(writer,
                         "PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE; DELETE FROM "
                         "ContentIndex WHERE 0;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  DocumentServer server({}, 1);
  EXPECT_EQ(server.SearchThreads(), 1);
  EXPECT_GE(server.QuickThreads(), 1);
  const std::string slow =
      "GET /?action=findfile&indexname=Many&SearchType=3&content=location+LIKE+%27*many*%27 "
      "HTTP/1.0\r\n\r\n";
  Replies replies;
  server.HandleAsync(base::Replace(slow, "many", "many/"), endpoint, replies.Take("slow1"));
  server.HandleAsync(slow, endpoint, replies.Take("slow2"));
  // The same search again while the one before it still waits for the thread (which slow1
  // holds): one run answers both.
  server.HandleAsync(slow, endpoint, replies.Take("slow3"));
  server.HandleAsync("GET /?action=findfile&indexname=Docs&content=budget HTTP/1.0\r\n\r\n",
                     endpoint, replies.Take("quick"));
  server.HandleAsync("GET /?action=getfile&indexname=Docs&location=" + doc2 + " HTTP/1.0\r\n\r\n",
                     endpoint, replies.Take("getfile"));
  ASSERT_TRUE(replies.WaitFor(2));
  sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(writer);
  ASSERT_TRUE(replies.WaitFor(5));
  EXPECT_EQ(server.SearchesRun(), 3u);
  EXPECT_EQ(std::set<std::string>(replies.order.begin(), replies.order.begin() + 2),
            (std::set<std::string>{"quick", "getfile"}));
  EXPECT_NE(replies.texts["quick"].find("<Font Color=Red>budget</Font>"), std::string::npos);
  EXPECT_TRUE(replies.texts["getfile"].starts_with("HTTP/1.0 200 Ok"));
  // Once the writer is done the full searches are answered too.
  EXPECT_EQ(PageHits(replies.texts["slow2"]).size(), 3u);
  // The two pages differ in their links' session numbers only.
  const std::regex session("session=[0-9]+");
  EXPECT_EQ(std::regex_replace(replies.texts["slow3"], session, ""),
            std::regex_replace(replies.texts["slow2"], session, ""));
}

}  // namespace
}  // namespace zyl::server
