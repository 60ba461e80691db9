#include "app/Front.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/ModesLibrary.h"
#include "app/StartMode.h"
#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::app {
namespace {

// What the front did with one command line: its status and streams, and the arguments it
// handed to the whole program (none when it answered by itself).
struct FrontRun {
  int status = 0;
  std::string out, err;
  std::vector<std::string> handedOver;
  bool wasHandedOver = false;
};

FrontRun Front(std::vector<std::string> args) {
  args.insert(args.begin(), "/opt/zyl/bin/zyl");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  FrontRun run;
  std::ostringstream out, err;
  run.status = FrontMain(static_cast<int>(argv.size()), argv.data(), out, err,
                         [&run](int argc, const char* const* v) {
                           run.wasHandedOver = true;
                           run.handedOver.assign(v, v + argc);
                           return 42;
                         });
  run.out = out.str();
  run.err = err.str();
  return run;
}

TEST(FrontTest, EveryModeButSearchHelpAndVersionGoesToTheWholeProgramUnchanged) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"action=server", "headless=1"},
           {"action=update", "index=/x/a.zyl"},
           {"action=build", "index=A", "folders=/tmp", "types=txt"},
           {"action=webbuild"},
           {"action=frobnicate"},
           {"index=a.zyl"},
           {"Action=search"},  // the name "action" is written exactly so
       }) {
    const FrontRun run = Front(args);
    ASSERT_TRUE(run.wasHandedOver) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(run.status, 42);
    std::vector<std::string> expected = args;
    expected.insert(expected.begin(), "/opt/zyl/bin/zyl");
    EXPECT_EQ(run.handedOver, expected);
    EXPECT_EQ(run.out + run.err, "");
  }
}

TEST(FrontTest, HelpAndVersionAreAnsweredWithoutTheWholeProgramOrTheDisk) {
  test::ProgramFolderScope scope;
  test::TempDir home;
  ::setenv("ZYL_HOME", home.file("zyl").c_str(), 1);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"action=build", "-h"}, {"--version"}, {"action=server", "--version"}}) {
    const FrontRun run = Front(args);
    EXPECT_FALSE(run.wasHandedOver) << args[0];
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with(args.back() == "--version" ? "zyl " : "usage:")) << run.out;
  }
  EXPECT_FALSE(base::IsFolder(home.file("zyl")));
}

// The front's search is the whole program's: same rows, same status, and the program folder
// seeded and the settings loaded on the way.
TEST(FrontTest, SearchRunsInTheFrontAsTheWholeProgramRunsIt) {
  test::ProgramFolderScope scope;
  ::setenv("ZYL_HOME", scope.path().c_str(), 1);
  scope.write("docs/a.txt", "quarterly budget");
  scope.write("docs/b.txt", "minutes");
  std::ostringstream out, err;
  const std::string folders = "folders=" + scope.file("docs");
  const char* build[] = {"zyl", "action=build", "index=Docs", folders.c_str(), "types=txt"};
  ASSERT_EQ(Main(5, build, out, err), 0) << err.str();

  settings::Config() = settings::Settings();  // the front loads them itself
  for (const char* action : {"action=search", "action=SEARCH"}) {
    const FrontRun run = Front({action, "indexname=Docs", "content=budget"});
    EXPECT_FALSE(run.wasHandedOver);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('\t' + scope.file("docs/a.txt") + '\t'), 1u) << run.out;
    EXPECT_EQ(run.out.find("b.txt"), std::string::npos);
    EXPECT_EQ(settings::Config().IndexFolder, scope.file("index") + "/");
  }
  std::ostringstream whole;
  const char* search[] = {"zyl", "action=search", "indexname=Docs", "content=budget"};
  EXPECT_EQ(Main(4, search, whole, err), 0);
  EXPECT_EQ(Front({"action=search", "indexname=Docs", "content=budget"}).out, whole.str());

  const FrontRun missing = Front({"action=search", "indexname=Nothing", "content=budget"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no index titled Nothing"), std::string::npos);
  settings::Config() = settings::Settings();
}

TEST(FrontTest, TheModesLibraryIsFoundBesideTheProgramOrWhereItIsInstalled) {
  test::TempDir root;
  const std::string exe = root.write("usr/bin/zyl", "");
  EXPECT_EQ(FindModesLibrary(exe), "") << "neither beside it nor installed";
  const std::string installed = root.write("usr/lib/zyl/libzyl-modes.so", "");
  EXPECT_EQ(FindModesLibrary(exe), installed);
  const std::string beside = root.write("usr/bin/libzyl-modes.so", "");
  EXPECT_EQ(FindModesLibrary(exe), beside) << "a build or portable folder comes first";
}

}  // namespace
}  // namespace zyl::app
