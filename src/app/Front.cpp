#include "app/Front.h"

#include <sqlite3.h>

#include <ostream>
#include <string>

#include "app/ProgramStart.h"
#include "app/SearchAction.h"
#include "app/Usage.h"
#include "base/Strings.h"
#include "settings/CommandLine.h"

namespace zyl::app {

int FrontMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
              const RunWholeProgram& whole) {
  const settings::CCommandLine args(argc, argv);
  if (const int status = AnswerInformation(args, out); status >= 0) return status;
  // No arguments at all is the desktop, whatever a variable's value would say.
  const std::string action =
      args.CountArguments() == 0 ? "" : base::LCase(args.GetArgumentValue("action"));
  if (action != "search") return whole(argc, argv);
  // A search from the command line runs on this one thread, so the engine need not lock and
  // unlock its connection around each of the thousands of calls that read a long result
  // (a twentieth of the time of a search listing 13,000 rows). This must come before the
  // engine's first use; in a process that used it already the call changes nothing.
  sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
  PrepareProgramFolder(argc > 0 && argv[0] ? argv[0] : "", err);
  return RunSearchAction({args, action, out, err});
}

}  // namespace zyl::app
