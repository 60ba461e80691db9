#include "app/StartMode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Version.h"
#include "extract/DocumentTypes.h"
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

// Runs with no display at all, whatever the test machine has (or with only `platform`).
class NoDisplay {
 public:
  explicit NoDisplay(const char* platform = nullptr) {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
    if (platform) setenv("QT_QPA_PLATFORM", platform, 1);
  }
  ~NoDisplay() {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }

 private:
  static constexpr const char* kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::optional<std::string>> saved_;
};

// The server runs without its window when asked to or when there is no display: a port it
// cannot open is then reported on stderr with status 1 instead of in a window.
TEST(StartModeTest, TheServerRunsWithoutItsWindowWhenHeadlessOrWithoutADisplay) {
  test::ProgramFolderScope scope;
  {
    const NoDisplay noDisplay;
    const StartResult run = Start("action=server port=70000");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not a port number"), std::string::npos) << run.err;
  }
  const NoDisplay offscreen("offscreen");
  const StartResult run = Start("action=server headless=1 port=70000");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not a port number"), std::string::npos) << run.err;
}

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
}

TEST(StartModeTest, HelpAndVersionAnswerOnStdoutWithStatusZero) {
  for (const char* line : {"--help", "-h", "action=server --help", "action=frobnicate -h"}) {
    const StartResult r = Start(line);
    EXPECT_EQ(r.status, 0) << line;
    EXPECT_EQ(r.out.rfind("usage:", 0), 0u) << line;
    EXPECT_EQ(r.err, "") << line;
  }
  const StartResult version = Start("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zyl " + std::string(base::ProgramVersion()) + "\n");
  EXPECT_EQ(Start("--version --help").out, version.out) << "the first request wins";
}

TEST(StartModeTest, UnknownActionsPrintUsageOnStderrWithStatusTwo) {
  for (const char* line : {"action=frobnicate", "index=a.zyl", "action=", "--helpme"}) {
    const StartResult r = Start(line);
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << line;
    EXPECT_EQ(r.out, "") << line;
  }
  EXPECT_NE(Start("action=frobnicate").err.find("unknown action: frobnicate"), std::string::npos);
}

// True when `word` stands in `text` after a blank or "[" and before a blank, "]" or line end
// (a variable name "bind=" is followed by its value, so only its start is checked then).
bool Names(const std::string& text, const std::string& word) {
  for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const char before = at == 0 ? ' ' : text[at - 1];
    const char after = at + word.size() < text.size() ? text[at + word.size()] : '\n';
    if ((before == ' ' || before == '[') &&
        (word.back() == '=' || after == ' ' || after == ']' || after == '\n'))
      return true;
  }
  return false;
}

TEST(StartModeTest, UsageNamesEveryActionVariableAndTypeCode) {
  std::ostringstream usage;
  PrintUsage(usage);
  const std::string text = usage.str();
  for (const ActionEntry& a : Actions())
    EXPECT_TRUE(Names(text, "action=" + std::string(a.name))) << a.name;
  for (const char* variable :
       {"headless=",    "port=",      "bind=",       "index=",     "log=",     "folders=",
        "types=",       "usermasks=", "archives=",   "desc=",      "url=",     "depth=",
        "indexname=",   "content=",   "SearchType=", "WholeWord=", "title=",   "author=",
        "location=",    "datefrom=",  "dateto=",     "sizemin=",   "sizemax=", "type1=",
        "archiveonly=", "format=",    "showsql="})
    EXPECT_TRUE(Names(text, variable)) << variable;
  // The last type position, whatever the table holds.
  EXPECT_TRUE(Names(text, "type" + std::to_string(extract::kSearchTypeCount) + "="));
  for (const extract::DocumentType& t : extract::DocumentTypes()) {
    if (t.code == "users") continue;
    EXPECT_TRUE(Names(text, std::string(t.code))) << t.code;
  }
  // Lines fit a classic terminal.
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

TEST(StartModeTest, MainAnswersHelpAndVersionWithoutCreatingTheProgramFolder) {
  test::ProgramFolderScope scope;  // restores ZYL_HOME and the folder afterwards
  test::TempDir home;
  const std::string folder = home.file("zyl");
  ::setenv("ZYL_HOME", folder.c_str(), 1);
  for (const char* request : {"--help", "--version"}) {
    const char* argv[] = {"zyl", request};
    std::ostringstream out, err;
    EXPECT_EQ(Main(2, argv, out, err), 0) << request;
    EXPECT_NE(out.str(), "") << request;
  }
  EXPECT_FALSE(base::IsFolder(folder));
}

TEST(StartModeTest, MainSeedsTheProgramFolderAndLoadsTheSettings) {
  test::ProgramFolderScope scope;  // restores ZYL_HOME and the folder afterwards
  test::TempDir home;
  ::setenv("ZYL_HOME", home.path().c_str(), 1);
  const char* argv[] = {"zyl", "action=frobnicate"};
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
