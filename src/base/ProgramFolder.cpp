#include "base/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "base/DefaultFiles.h"
#include "base/Paths.h"

#ifndef ZYL_DEFAULTS_FROM_BIN
#error "ZYL_DEFAULTS_FROM_BIN is set by src/CMakeLists.txt from the install folders"
#endif

namespace zyl::base {

namespace {
std::string& Folder() {
  static std::string folder;
  return folder;
}
std::vector<std::function<void(const std::string&)>>& SeedSteps() {
  static std::vector<std::function<void(const std::string&)>> steps;
  return steps;
}
std::string StripTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}
std::filesystem::path ExecutablePath(std::string_view executablePath) {
  std::error_code ec;
  return executablePath.empty() ? std::filesystem::read_symlink("/proc/self/exe", ec)
                                : std::filesystem::path(std::string(executablePath));
}

// Copies `bytes` to folder/name unless a file is there already.
void SeedFile(const std::string& folder, std::string_view name, std::string_view bytes,
              std::string* error) {
  const std::string target = JoinPath(folder, name);
  if (FileExists(target)) return;
  const auto parent = std::filesystem::path(target).parent_path().string();
  if (!MakeFolders(parent)) return;
  std::string why;
  if (!WriteFileAtomic(target, bytes, &why) && error) {
    *error = "cannot write " + target + ": " + why;
  }
}

// The regular files under `root`, as "/"-separated paths relative to it. Links are not
// followed, so a link in the shared folder cannot pull other files into a user's folder.
std::vector<std::string> FilesUnder(const std::string& root) {
  std::vector<std::string> names;
  std::error_code ec;
  namespace fs = std::filesystem;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && !it->is_symlink(ec)) {
      names.push_back(fs::relative(it->path(), root, ec).generic_string());
    }
  }
  return names;
}
}  // namespace

std::string ResolveProgramFolder(std::string_view executablePath) {
  if (const char* home = std::getenv("ZYL_HOME"); home && *home) {
    return StripTrailingSlashes(home);
  }
  std::error_code ec;
  const std::filesystem::path exe = ExecutablePath(executablePath);
  if (!exe.empty()) {
    const auto dir = std::filesystem::absolute(exe, ec).parent_path();
    if (FileExists((dir / "config.ini").string())) return dir.string();
  }
  std::string data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    data = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    data = JoinPath(home, ".local/share");
  } else {
    data = "/tmp";
  }
  return JoinPath(StripTrailingSlashes(data), "zyl");
}

std::string InstalledDefaultsFolder(std::string_view executablePath) {
  const std::filesystem::path exe = ExecutablePath(executablePath);
  if (exe.empty()) return "";
  std::error_code ec;
  // The build gives the way from the installed bin/ to the installed share/zyl.
  const auto dir =
      (std::filesystem::absolute(exe, ec).parent_path() / ZYL_DEFAULTS_FROM_BIN).lexically_normal();
  const std::string folder = StripTrailingSlashes(dir.string());
  return IsFolder(folder) && FileExists(JoinPath(folder, "config.ini")) ? folder : "";
}

bool SeedProgramFolder(const std::string& folder, std::string* error,
                       std::string_view installedDefaults) {
  if (!MakeFolders(folder)) {
    if (error) *error = "cannot create the program folder " + folder;
    return false;
  }
  if (!installedDefaults.empty()) {
    const std::string root(installedDefaults);
    for (const std::string& name : FilesUnder(root)) {
      if (FileExists(JoinPath(folder, name))) continue;
      if (const auto bytes = ReadFileBytes(JoinPath(root, name))) {
        SeedFile(folder, name, *bytes, error);
      }
    }
  }
  for (const DefaultFile& f : DefaultFiles()) SeedFile(folder, f.name, f.bytes, error);
  for (const auto& step : SeedSteps()) step(folder);
  return true;
}

void RegisterSeedStep(std::function<void(const std::string& folder)> step) {
  SeedSteps().push_back(std::move(step));
}

const std::string& ProgramFolder() {
  return Folder();
}

void SetProgramFolder(std::string folder) {
  Folder() = StripTrailingSlashes(std::move(folder));
}

std::string InProgramFolder(std::string_view name) {
  return JoinPath(Folder(), name);
}

}  // namespace zyl::base
