#include "base/Version.h"

// Only this file receives the version from the build, so a new version recompiles one file.
#ifndef ZYL_VERSION
#error "ZYL_VERSION is set by src/CMakeLists.txt from the project version"
#endif

namespace zyl::base {

std::string_view ProgramVersion() {
  return ZYL_VERSION;
}

}  // namespace zyl::base
