#include "base/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "base/DefaultFiles.h"
#include "base/Paths.h"

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
}  // namespace

std::string ResolveProgramFolder(std::string_view executablePath) {
  if (const char* home = std::getenv("ZYL_HOME"); home && *home) {
    return StripTrailingSlashes(home);
  }
  std::error_code ec;
  std::filesystem::path exe = executablePath.empty()
                                  ? std::filesystem::read_symlink("/proc/self/exe", ec)
                                  : std::filesystem::path(std::string(executablePath));
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

bool SeedProgramFolder(const std::string& folder, std::string* error) {
  if (!MakeFolders(folder)) {
    if (error) *error = "cannot create the program folder " + folder;
    return false;
  }
  for (const DefaultFile& f : DefaultFiles()) {
    const std::string target = JoinPath(folder, f.name);
    if (FileExists(target)) continue;
    const auto parent = std::filesystem::path(target).parent_path().string();
    if (!MakeFolders(parent)) continue;
    std::string why;
    if (!WriteFileAtomic(target, f.bytes, &why) && error) {
      *error = "cannot write " + target + ": " + why;
    }
  }
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
