// The scratch folder of a fuzz target: one per process, made at first use, in memory where the
// system offers it (every run writes its input there), and removed when the process ends.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace zyl::fuzz {

// `name` tells the targets' folders apart ("ini" gives zyl-ini-fuzz-XXXXXX).
inline const std::string& FuzzFolder(const char* name) {
  struct Folder {
    std::string path;
    explicit Folder(const char* name) {
      const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                             ? std::filesystem::path("/dev/shm")
                                             : std::filesystem::temp_directory_path();
      path = (base / (std::string("zyl-") + name + "-fuzz-XXXXXX")).string();
      if (::mkdtemp(path.data()) == nullptr) std::abort();
    }
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static const Folder folder(name);
  return folder.path;
}

}  // namespace zyl::fuzz
