#include "app/StartMode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::app {
namespace {

struct StartResult {
  int status;
  std::string out;
  std::string err;
};

StartResult Start(std::string_view commandLine) {
  std::ostringstream out, err;
  const int status = RunStartMode(settings::CCommandLine(commandLine), out, err);
  return {status, out.str(), err.str()};
}

// Runs with no display at all, whatever the test machine has.
class NoDisplay {
 public:
  NoDisplay() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  ~NoDisplay() {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) setenv(kNames[i], saved_[i]->c_str(), 1);
    }
  }

 private:
  static constexpr const char* kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::optional<std::string>> saved_;
};

TEST(StartModeTest, ModesAreChosenByTheLowerCasedValueOfAnExactlyNamedAction) {
  const NoDisplay noDisplay;
  const StartResult desktop = Start("");
  // Without a display the desktop says how to go on in one line and fails.
  EXPECT_EQ(desktop.status, 1);
  EXPECT_EQ(std::count(desktop.err.begin(), desktop.err.end(), '\n'), 1);
  EXPECT_NE(desktop.err.find("action=server headless=1"), std::string::npos);
  EXPECT_EQ(Start("action=WEBBUILD").err, "zyl: give the start address with url=...\n");
  // A batch update of a missing descriptor logs the line and fails.
  test::ProgramFolderScope scope;
  const StartResult update = Start("action='Update' index=" + scope.file("x.zyl"));
  EXPECT_EQ(update.status, 1);
  EXPECT_EQ(update.out, "Файл " + scope.file("x.zyl") + " не существует.\n");
  EXPECT_EQ(Actions().size(), 5u);
}

TEST(StartModeTest, HelpAndUnknownActionsPrintUsageWithStatusTwo) {
  for (const char* line :
       {"--help", "-h", "action=server --help", "action=frobnicate", "index=a.zyl", "action="}) {
    const StartResult r = Start(line);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << line;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_NE(Start("action=frobnicate").err.find("unknown action: frobnicate"), std::string::npos);
}

TEST(StartModeTest, MainSeedsTheProgramFolderAndLoadsTheSettings) {
  test::ProgramFolderScope scope;  // restores ZYL_HOME and the folder afterwards
  test::TempDir home;
  ::setenv("ZYL_HOME", home.path().c_str(), 1);
  const char* argv[] = {"zyl", "--help"};
  std::ostringstream out, err;
  EXPECT_EQ(Main(2, argv, out, err), 2);
  EXPECT_EQ(base::ProgramFolder(), home.path());
  EXPECT_TRUE(base::FileExists(home.file("config.ini")));
  EXPECT_TRUE(base::FileExists(home.file("russian.lng")));
  EXPECT_TRUE(base::IsFolder(home.file("index")));
  EXPECT_EQ(settings::Config().localport, 8080);
  EXPECT_EQ(settings::Config().IndexFolder, home.file("index") + "/");
  settings::Config() = settings::Settings();
}

}  // namespace
}  // namespace zyl::app
