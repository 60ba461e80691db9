// Finding and loading the modes library (app/Front.h) from the command-line front.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace zyl::app {

// The library's file name.
inline constexpr std::string_view kModesLibraryName = "libzyl-modes.so";

// Where the library is for the executable at `executablePath` (empty: the running one): beside
// it (the build tree, a portable folder), else where an installation puts it relative to bin/.
// "" when neither holds it.
std::string FindModesLibrary(std::string_view executablePath = {});

// Loads the library and runs the whole program in it with these arguments. When it cannot be
// found or loaded, says so on `err` and returns 1.
int RunModesLibrary(int argc, const char* const* argv, std::ostream& err);

}  // namespace zyl::app
