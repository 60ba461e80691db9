#include "app/CliActions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "app/CliHost.h"
#include "app/SearchAction.h"
#include "app/StartMode.h"
#include "base/Paths.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::app {
namespace {

struct CliRun {
  int status;
  std::string out, err;
};

CliRun Start(const std::string& commandLine) {
  std::ostringstream out, err;
  const int status = RunStartMode(settings::CCommandLine(commandLine), out, err);
  return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    settings::LoadConfig();
    catalog::EnsureTemplateDatabase(home.path());
    home.write("docs/a.txt", "budget report\tfor\r\nthe year");
    home.write("docs/b.htm", "<title>Plan</title><body>budget plan</body>");
    home.write("docs/c.txt", "nothing");
  }
  ~CliTest() override { settings::Config().RecentIndex.clear(); }
  // Builds index "Docs" of the documents' folder.
  CliRun BuildDocs(const std::string& types = "txt") {
    return Start("action=build index=Docs folders=\"" + home.file("docs") + "\" types=" + types);
  }
  test::ProgramFolderScope home;
};

TEST_F(CliTest, BuildThenSearchAsTsvJsonAndSql) {
  const CliRun build = BuildDocs("txt,html");
  ASSERT_EQ(build.status, 0) << build.err;
  EXPECT_NE(build.out.find("Обработано файлов:  3.\n"), std::string::npos) << build.out;
  EXPECT_TRUE(base::FileExists(home.file("index/Docs.zyl")));

  const CliRun tsv = Start("action=search indexname=Docs content=budget");
  ASSERT_EQ(tsv.status, 0) << tsv.err;
  EXPECT_EQ(
      tsv.out.substr(0, tsv.out.find('\n')).find("\t\t" + home.file("docs/a.txt") + "\ttxt\t"), 0u);
  EXPECT_NE(tsv.out.find("Plan\t\t" + home.file("docs/b.htm") + "\thtml\t"), std::string::npos);
  EXPECT_EQ(std::count(tsv.out.begin(), tsv.out.end(), '\n'), 2);

  const CliRun json = Start("action=search index=" + home.file("index/Docs.zyl") +
                            " content=report format=json showsql=1");
  ASSERT_EQ(json.status, 0);
  EXPECT_TRUE(json.out.starts_with(
      "SELECT title, author, content, location, type, modified, "
      "filesize FROM ContentIndex WHERE ((  content  LIKE \"*report*\"))\n[\n"));
  EXPECT_NE(json.out.find("\"content\":\"budget report\\tfor\\r\\nthe year\""), std::string::npos);
  EXPECT_NE(json.out.find("\"filesize\":27}"), std::string::npos);

  const CliRun none = Start("action=search indexname=Docs content=absent format=json");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "[]\n");
}

TEST_F(CliTest, RefusalsExitWithOne) {
  EXPECT_EQ(Start("action=build index=X types=nosuch folders=\"" + home.file("docs") + "\"").status,
            1);
  EXPECT_EQ(Start("action=build index=X types=txt folders=/no/such/folder").status, 1);
  ASSERT_EQ(BuildDocs().status, 0);
  const CliRun again = BuildDocs();
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("Индекс с таким именем уже существует"), std::string::npos);

  EXPECT_EQ(Start("action=search indexname=Nope content=x").status, 1);
  const CliRun bad = Start("action=search indexname=Docs SearchType=3 content=\"content LIKE\"");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("Ошибка в запросе:"), std::string::npos);
}

// A build killed after reserving its name leaves an empty descriptor beside a partial database.
TEST_F(CliTest, UnfinishedIndexIsSaidPlainlyAndItsNameCanBeBuiltAgain) {
  ASSERT_EQ(BuildDocs("txt,html").status, 0);
  const std::string descriptor = home.file("index/Docs.zyl");
  home.write("index/Docs.zyl", "");

  const CliRun update = Start("action=update index=" + descriptor);
  EXPECT_EQ(update.status, 1);
  EXPECT_NE((update.out + update.err).find("не достроен"), std::string::npos)
      << update.out << update.err;
  const CliRun search = Start("action=search index=" + descriptor + " content=budget");
  EXPECT_EQ(search.status, 1);
  EXPECT_NE(search.err.find("не достроен"), std::string::npos) << search.err;

  ASSERT_EQ(BuildDocs("txt,html").status, 0);
  const CliRun found = Start("action=search index=" + descriptor + " content=budget");
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_NE(found.out.find("a.txt"), std::string::npos);
  EXPECT_EQ(Start("action=update index=" + descriptor).status, 0);
}

// Scripts read the exit status: a batch update that could not be done exits 1 and still
// writes its log; a search that only showed a notice on the way exits 0.
TEST_F(CliTest, FailedUpdateExitsWithOneAndWritesTheLog) {
  ASSERT_EQ(BuildDocs().status, 0);
  const std::string descriptor = home.file("index/Docs.zyl");
  const std::string log = home.file("update.log");
  EXPECT_EQ(Start("action=update index=\"" + descriptor + "\" log=\"" + log + "\"").status, 0);

  // The database replaced by a file that is not one.
  const std::string dbname = home.file("index/Docs.mdb");
  home.write("index/Docs.mdb", std::string(4096, 'x'));
  std::remove((dbname + "-wal").c_str());
  std::remove((dbname + "-shm").c_str());
  const CliRun notADatabase =
      Start("action=update index=\"" + descriptor + "\" log=\"" + log + "\"");
  EXPECT_EQ(notADatabase.status, 1);
  EXPECT_NE(notADatabase.err.find("failed"), std::string::npos);
  EXPECT_NE(test::ReadFile(log).find("Открываем файл индекса"), std::string::npos);

  // The database gone altogether.
  std::remove(dbname.c_str());
  std::remove(log.c_str());
  EXPECT_EQ(Start("action=update index=\"" + descriptor + "\" log=\"" + log + "\"").status, 1);
  EXPECT_TRUE(base::FileExists(log));
}

TEST_F(CliTest, SearchAfterAnUpgradeNoticeExitsWithZero) {
  ASSERT_EQ(BuildDocs().status, 0);
  // A mask list as older versions wrote it: the search upgrades it and says so.
  settings::WriteIniValue("General", "ext", "txt;", home.file("index/Docs.zyl"));
  const CliRun run = Start("action=search indexname=Docs content=budget");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("0.99"), std::string::npos);
  EXPECT_NE(run.out.find(home.file("docs/a.txt")), std::string::npos);

  // An index that cannot be read still fails.
  std::remove(home.file("index/Docs.mdb").c_str());
  EXPECT_EQ(Start("action=search indexname=Docs content=budget").status, 1);
}

// Hundreds of rows make more output than one block of the writer: every row is written once,
// whole, in order, with the TABs of a file name made blanks.
TEST_F(CliTest, ManyRowsAreWrittenOnceEachAndWhole) {
  const std::string longName = std::string(180, 'n') + "\tx";
  for (int i = 0; i < 400; ++i)
    home.write("many/" + std::to_string(1000 + i) + longName + ".txt", "budget");
  ASSERT_EQ(Start("action=build index=Many types=txt folders=\"" + home.file("many") + "\"").status,
            0);
  const CliRun run = Start("action=search indexname=Many content=budget");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_GT(run.out.size(), 80000u);
  std::istringstream lines(run.out);
  std::string line;
  std::vector<std::string> names;
  while (std::getline(lines, line)) {
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
    const std::size_t at = line.find(home.file("many/"));
    ASSERT_NE(at, std::string::npos) << line;
    names.push_back(line.substr(at, line.find('\t', at) - at));
  }
  ASSERT_EQ(names.size(), 400u);
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_EQ(sorted.front(), home.file("many/1000" + std::string(180, 'n') + " x.txt"));
}

TEST(CliFormat, CellsAndStrings) {
  EXPECT_EQ(TsvCell("a\tb\r\nc"), "a b  c");
  EXPECT_EQ(JsonString("q\"\\\x01я"), "\"q\\\"\\\\\\u0001я\"");
}

TEST(CliHostTest, ShowsCountsAsTheyComeAndMessagesAsOneLine) {
  std::ostringstream log, progress;
  {
    CliHost host(log, progress, /*progressIsTerminal=*/true);
    host.AddLogText("a\r\nb\r\n");
    host.SetCounts(3, 7);
    host.ShowMessage({"Файл x\r\nне существует", "Заголовок", base::MessageIcon::Warning});
  }
  EXPECT_EQ(log.str(), "a\nb\n");
  EXPECT_NE(progress.str().find("3/7"), std::string::npos);
  EXPECT_NE(progress.str().find("zyl: Заголовок: Файл x не существует\n"), std::string::npos);

  std::ostringstream quiet;
  CliHost piped(log, quiet, /*progressIsTerminal=*/false);
  piped.SetCounts(1, 2);
  EXPECT_EQ(quiet.str(), "");  // no progress line when stderr is not a terminal
}

}  // namespace
}  // namespace zyl::app
