#include "search/SearchSession.h"

#include "db/Database.h"
#include "search/ResultContent.h"

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/SmallIndex.h"
#include "support/TestSupport.h"

namespace zyl::search {
namespace {

const base::DateTimeParts kNow{2026, 12, 6, 12, 0, 0};

class SearchSessionTest : public ::testing::Test {
 protected:
  SearchSessionTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
  }
  // An index whose rows are (location, content, modified), of type txt.
  IndexEntry MakeIndex(const std::string& name,
                       const std::vector<std::tuple<std::string, std::string, std::string>>& rows) {
    std::vector<test::Doc> docs;
    for (const auto& [location, content, modified] : rows)
      docs.push_back({location, content, "txt", modified});
    return {name, test::MakeSmallIndex(home.path(), name, docs).descriptorPath};
  }
  std::vector<std::string> Locations(const SearchSession& s) {
    std::vector<std::string> out;
    for (const ResultRow& r : s.Results()) out.push_back(r.location);
    return out;
  }

  // A form searching for any of `words`.
  static SearchForm Words(std::string words) {
    SearchForm form;
    form.searchText = std::move(words);
    return form;
  }
  base::MessageSink Record() {
    return [this](const base::Message& m) { shown.push_back(m.text); };
  }

  test::ProgramFolderScope home;
  std::vector<std::string> shown;
  SearchSession session = [this] {
    SearchSession s;
    s.onMessage = Record();
    return s;
  }();
};

TEST_F(SearchSessionTest, RowsOfSeveralIndexesInIndexAndDatabaseOrder) {
  const IndexEntry a = MakeIndex("A", {{"/a/1.txt", "Годовой ОТЧЕТ", "2002-01-05"},
                                       {"/a/2.txt", "nothing here", "2002-01-06"},
                                       {"/a/3.txt", "отчет за квартал", "2003-01-01 10:00:00"}});
  const IndexEntry b = MakeIndex("B", {{"/b/1.txt", "ещё один отчет", "2004-05-05"}});
  SearchForm form = Words("отчет");
  ASSERT_TRUE(session.RunSearch(form, {a, b}, kNow));
  EXPECT_EQ(Locations(session), (std::vector<std::string>{"/a/1.txt", "/a/3.txt", "/b/1.txt"}));
  EXPECT_EQ(session.Results()[0].filesize, std::to_string(std::string("Годовой ОТЧЕТ").size()));
  EXPECT_EQ(session.Results()[1].modified, "2003-01-01 10:00:00");

  form.dateBetween = true;
  form.dateFrom = "01.01.2003";
  ASSERT_TRUE(session.RunSearch(form, {a, b}, kNow));
  EXPECT_EQ(Locations(session), (std::vector<std::string>{"/a/3.txt", "/b/1.txt"}));
  // The recent list was written to config.ini at once.
  EXPECT_EQ(settings::LoadGeneralSetting("RecentSearch"), "отчет;");
}

TEST_F(SearchSessionTest, RefusedStatementKeepsRowsCollectedBefore) {
  const IndexEntry a = MakeIndex("A", {{"/a/1.txt", "word", "2002-01-05"}});
  SearchForm form = Words("content LIKE \"*word*\"");
  form.searchType = kQueryLanguage;
  ASSERT_TRUE(session.RunSearch(form, {a}, kNow));
  EXPECT_EQ(session.ResultCount(), 1u);
  form.searchText = "content LIKE";  // broken condition
  EXPECT_FALSE(session.RunSearch(form, {a, a}, kNow));
  EXPECT_EQ(session.LastError(), "Ошибка в запросе: \r\n(content LIKE)");
  EXPECT_EQ(session.ResultCount(), 0u);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), session.LastError());
}

TEST_F(SearchSessionTest, TypedFieldsNeverWidenTheSearch) {
  const IndexEntry a =
      MakeIndex("A", {{"/a/1.txt", "alpha", "2002-01-05"}, {"/a/2.txt", "beta", "2002-01-05"}});
  SearchForm form = Words("alpha");
  form.fileName = "x\") OR (\"1\"=\"1";
  ASSERT_TRUE(session.RunSearch(form, {a}, kNow));
  EXPECT_EQ(session.ResultCount(), 0u);
  form.fileName = "1.txt";
  form.sizeBetween = true;
  form.sizeFrom = "1) OR (1=1";
  EXPECT_FALSE(session.RunSearch(form, {a}, kNow));
  EXPECT_TRUE(session.LastError().starts_with("Ошибка в запросе: "));
  form.sizeBetween = false;
  form.dateBetween = true;
  form.dateTo = "1/1/02# OR #1/1/02";
  EXPECT_FALSE(session.RunSearch(form, {a}, kNow));
}

TEST_F(SearchSessionTest, HistoryOnlyWithTheSetting) {
  const IndexEntry a = MakeIndex("A", {{"/a/1.txt", "word", "2002-01-05"}});
  const SearchForm form = Words("word");
  session.RunSearch(form, {a}, kNow);
  EXPECT_TRUE(session.History().empty());
  settings::Config().UseHistory = true;
  session.RunSearch(form, {a, a}, kNow);
  settings::Config().UseHistory = false;
  ASSERT_EQ(session.History().size(), 1u);
  EXPECT_EQ(HistoryItemText(session.History()[0], true), "\"word\" / 2 / A;A;");
  EXPECT_EQ(HistoryItemText(session.History()[0], false), "\"word\" /2 /A;A;");
  EXPECT_EQ(session.History()[0].results.size(), 2u);
}

TEST_F(SearchSessionTest, RecentIndexesTakeTitlesFromDescriptors) {
  const IndexEntry a = MakeIndex("Docs", {});
  settings::Config().RecentIndex = a.descriptorPath + ";" + home.file("gone.zyl") + ";";
  const auto entries = RecentIndexes();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].title, "Docs");
  EXPECT_EQ(entries[1].title, home.file("gone.zyl"));
  EXPECT_FALSE(base::FileExists(home.file("gone.zyl")));
  settings::Config().RecentIndex.clear();
}

// The desktop and the server each hold a session: the statement each ran, and what "search
// within the found documents" narrows, belong to that session alone.
TEST_F(SearchSessionTest, EachSessionKeepsItsOwnLastStatement) {
  const IndexEntry a = MakeIndex("A", {{"/a/1.txt", "budget plan", "2002-01-05"},
                                       {"/a/2.txt", "budget report", "2002-01-06"},
                                       {"/a/3.txt", "travel plan", "2002-01-07"}});
  SearchSession& desktop = session;
  SearchSession server;
  server.onMessage = Record();
  const SearchForm plan = Words("plan");
  // Before any search there is nothing to search within.
  SearchForm within = plan;
  within.searchInFound = true;
  ASSERT_TRUE(desktop.RunSearch(within, {a}, kNow));
  EXPECT_EQ(desktop.ResultCount(), 0u);

  ASSERT_TRUE(desktop.RunSearch(Words("budget"), {a}, kNow));
  ASSERT_TRUE(server.RunSearch(plan, {a}, kNow));
  EXPECT_NE(desktop.LastSearchSql().find("*budget*"), std::string::npos);
  EXPECT_NE(server.LastSearchSql().find("*plan*"), std::string::npos);

  // Narrowing the desktop's rows by "plan" starts from its own "budget" rows, whatever indexes
  // are chosen meanwhile.
  ASSERT_TRUE(desktop.RunSearch(within, {}, kNow));
  EXPECT_EQ(Locations(desktop), (std::vector<std::string>{"/a/1.txt"}));
  EXPECT_EQ(Locations(server), (std::vector<std::string>{"/a/1.txt", "/a/3.txt"}));
}

// The result list keeps where each row is, not its text; the text is read from the index when
// it is shown, as the index holds it then.
TEST_F(SearchSessionTest, RowsAreReadFromTheirIndexWhenShown) {
  const IndexEntry a = MakeIndex("A", {{"/a/1.txt", "first report", "2002-01-05"},
                                       {"/a/2.txt", "nothing", "2002-01-05"},
                                       {"/a/3.txt", "third report", "2002-01-05"}});
  const IndexEntry b = MakeIndex("B", {{"/b/1.txt", "report of B", "2002-01-05"}});
  SearchForm form = Words("report");
  ASSERT_TRUE(session.RunSearch(form, {a, b}, kNow));
  ASSERT_EQ(session.ResultCount(), 3u);
  ContentReader reader;
  std::vector<std::string> texts;
  for (const ResultRow& row : session.Results()) texts.push_back(reader.Read(row));
  EXPECT_EQ(texts, (std::vector<std::string>{"first report", "third report", "report of B"}));

  // Rows found within the found documents are read from the same index.
  form.searchText = "third";
  form.searchInFound = true;
  ASSERT_TRUE(session.RunSearch(form, {a, b}, kNow));
  EXPECT_TRUE(session.Results().empty());  // the last index searched was B
  form.searchInFound = false;
  form.searchText = "report";
  ASSERT_TRUE(session.RunSearch(form, {a}, kNow));
  form.searchText = "third";
  form.searchInFound = true;
  ASSERT_TRUE(session.RunSearch(form, {a}, kNow));
  ASSERT_EQ(session.ResultCount(), 1u);
  EXPECT_EQ(ReadContent(session.Results()[0]), "third report");

  ResultRow third = session.Results()[0];
  const std::string dbA = third.database;
  {
    db::Database database = db::Database::Open(dbA);
    db::Recordset rs =
        database.OpenRecordset("SELECT * FROM ContentIndex WHERE location = '/a/3.txt'");
    rs.Edit();
    rs.SetField("content", db::Value("third report, edited"));
    rs.Update();
  }
  EXPECT_EQ(ReadContent(third), "third report, edited");
  // A row number that no longer holds the location (a file rewritten by an older version):
  // the row is found by its location.
  ResultRow moved = third;
  moved.rowid = 1;
  EXPECT_EQ(ReadContent(moved), "third report, edited");
  moved.rowid = 999;
  EXPECT_EQ(ReadContent(moved), "third report, edited");
  // A row deleted since, or a database gone, shows no text.
  db::Database::Open(dbA).Execute("DELETE FROM ContentIndex WHERE location = '/a/3.txt'");
  EXPECT_EQ(reader.Read(third), "");
  EXPECT_EQ(reader.Read(session.Results()[0]), "");
  ResultRow elsewhere = third;
  elsewhere.database = home.file("gone.mdb");
  EXPECT_EQ(reader.Read(elsewhere), "");
  EXPECT_EQ(reader.Read(ResultRow{}), "");
}

}  // namespace
}  // namespace zyl::search
