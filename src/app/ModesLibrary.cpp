#include "app/ModesLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <ostream>

#include "app/ModesEntry.h"
#include "base/Paths.h"

#ifndef ZYL_MODES_FROM_BIN
#error "ZYL_MODES_FROM_BIN is set by src/app/CMakeLists.txt from the install folders"
#endif

namespace zyl::app {

std::string FindModesLibrary(std::string_view executablePath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = executablePath.empty() ? fs::read_symlink("/proc/self/exe", ec)
                                              : fs::path(std::string(executablePath));
  if (exe.empty()) return "";
  const fs::path dir = fs::absolute(exe, ec).parent_path();
  for (const fs::path& candidate :
       {dir / kModesLibraryName,
        (dir / ZYL_MODES_FROM_BIN / kModesLibraryName).lexically_normal()}) {
    if (base::FileExists(candidate.string())) return candidate.string();
  }
  return "";
}

int RunModesLibrary(int argc, const char* const* argv, std::ostream& err) {
  const std::string path = FindModesLibrary();
  if (path.empty()) {
    err << "zyl: " << kModesLibraryName
        << " is missing beside the program; the windows, the server, builds and updates are in "
           "it (reinstall the program)\n";
    return 1;
  }
  // Lazy binding: of Qt's and the readers' many functions a start mode calls only a few. The
  // library is never unloaded; the process ends with the mode.
  void* library = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!library) {
    err << "zyl: cannot load " << path << ": " << ::dlerror() << "\n";
    return 1;
  }
  using Entry = int (*)(int, const char* const*);
  const auto entry = reinterpret_cast<Entry>(::dlsym(library, kModesEntryName));
  if (!entry) {
    err << "zyl: " << path << " has no entry " << kModesEntryName << "\n";
    return 1;
  }
  return entry(argc, argv);
}

}  // namespace zyl::app
