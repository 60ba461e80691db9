// The command-line front, which is what the `zyl` executable runs.
//
// A search, --help and --version need only the search engine, the settings, SQLite and ICU, so
// the front answers them itself and a search from a script starts in a few milliseconds. Every
// other start mode (the windows, the server, builds and updates) is in the modes library, which
// the front loads only for them, together with Qt, the network and the document libraries they
// need: the dynamic linker's work for those libraries cost a search 25 ms when they were all
// linked into the one executable.
#pragma once

#include <functional>
#include <iosfwd>

namespace zyl::app {

// Runs the whole program with these arguments and returns its exit status.
using RunWholeProgram = std::function<int(int argc, const char* const* argv)>;

// Answers --help and --version at once, without touching the disk; runs action=search (the
// value compared in lower case) after preparing the program folder; hands anything else,
// unchanged, to `whole`.
int FrontMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
              const RunWholeProgram& whole);

}  // namespace zyl::app
