// The program's version, one text for `zyl --version`, the about box and the Debian package: the
// build takes it from the project version in the top CMakeLists.txt.
#pragma once

#include <string_view>

namespace zyl::base {

// "MAJOR.MINOR.PATCH", for example "0.2.0". Never empty.
std::string_view ProgramVersion();

}  // namespace zyl::base
