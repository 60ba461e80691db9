#include "app/StartMode.h"

#include <cstdlib>
#include <ostream>

#include "app/CliActions.h"
#include "app/ProgramStart.h"
#include "app/SearchAction.h"
#include "app/Usage.h"
#include "base/Strings.h"
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

}  // namespace

std::span<const ActionEntry> Actions() {
  return kActions;
}

int RunStartMode(const settings::CCommandLine& args, std::ostream& out, std::ostream& err) {
  if (args.CountArguments() == 0) return kDesktop({args, "", out, err});
  if (const int status = AnswerInformation(args, out); status >= 0) return status;
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
  const settings::CCommandLine args(argc, argv);
  // Asking for help or the version must not create a program folder.
  if (const int status = AnswerInformation(args, out); status >= 0) return status;
  PrepareProgramFolder(argc > 0 && argv[0] ? argv[0] : "", err);
  return RunStartMode(args, out, err);
}

}  // namespace zyl::app
