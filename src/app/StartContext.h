// What a start mode is given: the parsed arguments, the chosen action and the two streams it
// answers on.
#pragma once

#include <iosfwd>
#include <string>

#include "settings/CommandLine.h"

namespace zyl::app {

struct StartContext {
  const settings::CCommandLine& args;
  std::string action;  // lower-cased value of "action"; "" for the desktop
  std::ostream& out;
  std::ostream& err;
};

// Runs one start mode and returns the process exit status.
using StartHandler = int (*)(const StartContext&);

}  // namespace zyl::app
