// Helpers shared by the tests: a temporary folder that removes itself, and a program folder
// per test (ZYL_HOME) so that no test touches a user's settings.
#pragma once

#include <string>
#include <string_view>

namespace zyl::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;
  // Writes bytes to path()/name (creating subfolders) and returns the full path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

// A fresh, seeded program folder: sets ZYL_HOME and base::SetProgramFolder for the test's
// lifetime and restores the previous ones afterwards.
class ProgramFolderScope {
 public:
  ProgramFolderScope();
  ~ProgramFolderScope();
  const std::string& path() const { return dir_.path(); }
  std::string file(std::string_view name) const { return dir_.file(name); }
  std::string write(std::string_view name, std::string_view bytes) const {
    return dir_.write(name, bytes);
  }

 private:
  TempDir dir_;
  std::string previousFolder_;
  std::string previousEnv_;
  bool hadEnv_ = false;
};

std::string ReadFile(std::string_view path);
// Folder of committed binary fixtures (tests/fixtures).
std::string FixturePath(std::string_view relative);

}  // namespace zyl::test
