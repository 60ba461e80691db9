// Start-up: the program folder, the settings, and the choice of start mode from the arguments.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

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

struct ActionEntry {
  std::string_view name;  // value of action=, lower case
  StartHandler run;
};

// The actions answered on the command line, in usage order.
std::span<const ActionEntry> Actions();

// Chooses and runs the start mode for `args` (settings already loaded): no arguments, the
// desktop; "--help" or "-h", the usage text (status 2); action=NAME (the name "action" written
// exactly so, its value compared in lower case), that action; anything else, the usage text
// (status 2).
int RunStartMode(const settings::CCommandLine& args, std::ostream& out, std::ostream& err);

void PrintUsage(std::ostream& err);

// The whole start-up: resolves and seeds the program folder, loads the settings, parses argv
// and runs the start mode.
int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zyl::app
