#include "app/Front.h"

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
  PrepareProgramFolder(argc > 0 && argv[0] ? argv[0] : "", err);
  return RunSearchAction({args, action, out, err});
}

}  // namespace zyl::app
