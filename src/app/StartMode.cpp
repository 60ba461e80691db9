#include "app/StartMode.h"

#include "app/CliActions.h"

#include <cstdlib>
#include <ostream>

#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "base/Version.h"
#include "catalog/IndexDatabase.h"
#include "extract/DocumentTypes.h"
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

enum class Request { kNone, kHelp, kVersion };

// --help and --version are answered wherever they stand, as command-line programs do; the
// first one written wins.
Request AsksForInformation(const settings::CCommandLine& args) {
  for (const auto& a : args.Arguments()) {
    if (!a.name.empty()) continue;
    if (a.value == "--help" || a.value == "-h") return Request::kHelp;
    if (a.value == "--version") return Request::kVersion;
  }
  return Request::kNone;
}

// Answers --help or --version; -1 when the arguments ask for neither.
int AnswerInformation(const settings::CCommandLine& args, std::ostream& out) {
  switch (AsksForInformation(args)) {
    case Request::kHelp:
      PrintUsage(out);
      return 0;
    case Request::kVersion:
      PrintVersion(out);
      return 0;
    case Request::kNone:
      break;
  }
  return -1;
}

}  // namespace

std::span<const ActionEntry> Actions() {
  return kActions;
}

void PrintUsage(std::ostream& out) {
  out << "usage: zyl                      open the index manager window\n"
         "       zyl action=server [headless=1] [port=N] [bind=ADDRESS]\n"
         "       zyl action=update index=FILE.zyl [log=FILE]\n"
         "       zyl action=build index=NAME folders=/a;/b types=CODE,CODE,...\n"
         "                        [usermasks=*.cpp;*.h;] [archives=1] [desc=TEXT]\n"
         "       zyl action=webbuild index=NAME url=START depth=N [desc=TEXT]\n"
         "       zyl action=search indexname=TITLE[;TITLE...] | index=FILE.zyl\n"
         "                        [content=WORDS] [SearchType=0|1|2|3] [WholeWord=1]\n"
         "                        [title=TEXT] [author=TEXT] [location=TEXT]\n"
         "                        [datefrom=DATE] [dateto=DATE]\n"
         "                        [sizemin=BYTES] [sizemax=BYTES]\n"
         "                        [type1=1 ... type"
      << extract::kSearchTypeCount
      << "=1] [archiveonly=1]\n"
         "                        [format=tsv|json] [showsql=1]\n"
         "       zyl --help | --version\n"
         "\n"
         "Every argument is name=value. A quote at either end of a value is dropped, so\n"
         "write a query-language condition, which has quotes of its own, in apostrophes:\n"
         "  SearchType=3 content='Content LIKE \"*report*\"'\n"
         "SearchType: 0 any word, 1 all words, 2 the phrase, 3 a query-language condition.\n";
  // The codes come from the type table, so a new format shows up here by itself.
  constexpr std::string_view kTypesLabel = "Document type codes:";
  out << kTypesLabel;
  std::size_t column = kTypesLabel.size();
  for (const extract::DocumentType& t : extract::DocumentTypes()) {
    if (t.code == "users") continue;  // user masks come with usermasks=
    if (column + 1 + t.code.size() > 79) {
      out << "\n ";
      column = 1;
    }
    out << ' ' << t.code;
    column += 1 + t.code.size();
  }
  out << "\n"
         "Settings and indexes live in the program folder: $ZYL_HOME when set, else\n"
         "~/.local/share/zyl. See zyl(1).\n";
}

void PrintVersion(std::ostream& out) {
  out << "zyl " << base::ProgramVersion() << "\n";
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
  // argv[0] tells where the executable is only when it holds a folder; otherwise the
  // resolver asks the system for the running executable.
  const std::string_view self = argc > 0 && argv[0] ? std::string_view(argv[0]) : "";
  const std::string folder =
      base::ResolveProgramFolder(self.find('/') != std::string_view::npos ? self : "");
  base::SetProgramFolder(folder);
  base::RegisterSeedStep(catalog::EnsureTemplateDatabase);
  std::string why;
  if (!base::SeedProgramFolder(folder, &why, base::InstalledDefaultsFolder()) || !why.empty()) {
    // The settings then take their defaults; a mode that needs the folder reports it again.
    err << "zyl: " << why << "\n";
  }
  settings::LoadConfig();
  return RunStartMode(args, out, err);
}

}  // namespace zyl::app
