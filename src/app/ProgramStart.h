// The part of start-up every mode but --help and --version goes through: the program folder is
// chosen, seeded and made current, and the settings are loaded from it.
#pragma once

#include <iosfwd>
#include <string_view>

namespace zyl::app {

// `argv0` is the program's argv[0]; it tells where the executable is only when it holds a
// folder, otherwise the system is asked for the running executable. A folder that cannot be
// seeded is reported on `err` and the settings then take their defaults; never throws.
void PrepareProgramFolder(std::string_view argv0, std::ostream& err);

}  // namespace zyl::app
