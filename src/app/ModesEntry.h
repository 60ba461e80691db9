// The entry point of the modes library (libzyl-modes.so): the whole program's start-up, which
// the command-line front calls for every start mode it does not answer itself.
#pragma once

namespace zyl::app {

// The name the front looks the entry up by.
inline constexpr const char* kModesEntryName = "zyl_modes_main";

}  // namespace zyl::app

// Runs app::Main on std::cout and std::cerr and returns the exit status; an exception that
// escapes a mode is reported on std::cerr with status 1 rather than crossing back into the
// front.
extern "C" int zyl_modes_main(int argc, const char* const* argv);
