#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "base/Paths.h"
#include "base/ProgramFolder.h"

namespace zyl::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "zyl-test-XXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const { return base::JoinPath(path_, name); }

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
  const std::string p = file(name);
  std::filesystem::create_directories(std::filesystem::path(p).parent_path());
  if (!base::WriteFileAtomic(p, bytes)) std::abort();
  return p;
}

ProgramFolderScope::ProgramFolderScope() {
  previousFolder_ = base::ProgramFolder();
  if (const char* env = std::getenv("ZYL_HOME")) {
    hadEnv_ = true;
    previousEnv_ = env;
  }
  ::setenv("ZYL_HOME", dir_.path().c_str(), 1);
  base::SetProgramFolder(dir_.path());
  base::SeedProgramFolder(dir_.path());
}

ProgramFolderScope::~ProgramFolderScope() {
  base::SetProgramFolder(previousFolder_);
  if (hadEnv_) {
    ::setenv("ZYL_HOME", previousEnv_.c_str(), 1);
  } else {
    ::unsetenv("ZYL_HOME");
  }
}

std::string ReadFile(std::string_view path) { return base::ReadFileBytes(path).value_or(""); }

std::string FixturePath(std::string_view relative) {
  const char* root = std::getenv("ZYL_FIXTURES");
  return base::JoinPath(root ? root : "tests/fixtures", relative);
}

}  // namespace zyl::test
