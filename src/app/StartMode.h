// Start-up of the whole program: the choice of start mode from the arguments, every mode
// included (the command-line front answers the light ones itself, app/Front.h).
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "app/StartContext.h"
#include "app/Usage.h"
#include "settings/CommandLine.h"

namespace zyl::app {

struct ActionEntry {
  std::string_view name;  // value of action=, lower case
  StartHandler run;
};

// The actions answered on the command line, in usage order.
std::span<const ActionEntry> Actions();

// Chooses and runs the start mode for `args` (settings already loaded): no arguments, the
// desktop; "--help" or "-h", the usage text on `out` (status 0); "--version", the version on
// `out` (status 0); action=NAME (the name "action" written exactly so, its value compared in
// lower case), that action; anything else, the reason and the usage text on `err` (status 2).
int RunStartMode(const settings::CCommandLine& args, std::ostream& out, std::ostream& err);

// The whole start-up: parses argv; answers --help and --version at once, without touching the
// disk; otherwise resolves and seeds the program folder, loads the settings and runs the start
// mode.
int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zyl::app
