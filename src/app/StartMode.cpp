#include "app/StartMode.h"

#include "app/CliActions.h"

#include <cstdlib>
#include <ostream>

#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "ui/DesktopApp.h"
#include "ui/ServerWindow.h"

namespace zyl::app {

namespace {

// The desktop needs a display: an X or Wayland session, or a Qt platform chosen explicitly
// (offscreen rendering, VNC).
bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int RunDesktopMode(const StartContext& ctx) {
  if (!HasDisplay()) {
    ctx.err << "zyl: no display for the index manager; serve the indexes with "
               "'zyl action=server headless=1' or see 'zyl --help' for the command line\n";
    return 1;
  }
  return ui::RunDesktop();
}

// The server shows its window on a desktop; "headless=1" or no display serve without one.
int RunServerMode(const StartContext& ctx) {
  if (ctx.args.GetArgumentValue("headless") == "1" || !HasDisplay()) return RunServerAction(ctx);
  const server::ServerOptions options = ServerOptionsFromArguments(ctx);
  return ui::RunServerWindow(options.port, options.bindAddress);
}

// Each start mode is one line here: its name and the function that runs it.
constexpr ActionEntry kActions[] = {
    {"server", RunServerMode},        //
    {"update", RunUpdateAction},      //
    {"build", RunBuildAction},        //
    {"webbuild", RunWebBuildAction},  //
    {"search", RunSearchAction},
};
constexpr StartHandler kDesktop = RunDesktopMode;

bool AsksForHelp(const settings::CCommandLine& args) {
  for (const auto& a : args.Arguments()) {
    if (a.name.empty() && (a.value == "--help" || a.value == "-h")) return true;
  }
  return false;
}

}  // namespace

std::span<const ActionEntry> Actions() {
  return kActions;
}

void PrintUsage(std::ostream& err) {
  err << "usage: zyl                      open the index manager\n"
         "       zyl action=server [headless=1] [port=N]\n"
         "       zyl action=update index=FILE.zyl [log=FILE]\n"
         "       zyl action=build index=NAME folders=/a;/b types=txt,html,... [usermasks=...]\n"
         "                        [archives=1] [desc=TEXT]\n"
         "       zyl action=webbuild index=NAME url=START depth=N [desc=TEXT]\n"
         "       zyl action=search indexname=TITLE|index=FILE.zyl content=WORDS\n"
         "                        [format=tsv|json] [showsql=1] ...\n"
         "Settings and indexes live in the program folder ($ZYL_HOME).\n";
}

int RunStartMode(const settings::CCommandLine& args, std::ostream& out, std::ostream& err) {
  if (args.CountArguments() == 0) return kDesktop({args, "", out, err});
  if (AsksForHelp(args)) {
    PrintUsage(err);
    return 2;
  }
  const std::string action = base::LCase(args.GetArgumentValue("action"));
  for (const ActionEntry& entry : kActions) {
    if (entry.name == action) return entry.run({args, action, out, err});
  }
  if (action.empty()) {
    err << "zyl: no action given\n";
  } else {
    err << "zyl: unknown action: " << action << "\n";
  }
  PrintUsage(err);
  return 2;
}

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // argv[0] tells where the executable is only when it holds a folder; otherwise the
  // resolver asks the system for the running executable.
  const std::string_view self = argc > 0 && argv[0] ? std::string_view(argv[0]) : "";
  const std::string folder =
      base::ResolveProgramFolder(self.find('/') != std::string_view::npos ? self : "");
  base::SetProgramFolder(folder);
  base::RegisterSeedStep(catalog::EnsureTemplateDatabase);
  std::string why;
  if (!base::SeedProgramFolder(folder, &why) || !why.empty()) {
    // The settings then take their defaults; a mode that needs the folder reports it again.
    err << "zyl: " << why << "\n";
  }
  settings::LoadConfig();
  const settings::CCommandLine args(argc, argv);
  return RunStartMode(args, out, err);
}

}  // namespace zyl::app
