// Notices that a file has changed (written, replaced, created or removed) since it was last
// looked at, by what the file system records about it, without reading it.
#pragma once

#include <cstdint>
#include <string>

namespace zyl::base {

class FileStamp {
 public:
  // Records how the file stands now.
  explicit FileStamp(std::string path);

  // True when the file differs from how it stood at the last look (the construction or the
  // previous call that returned true), and records how it stands now. Never throws.
  bool Changed();

 private:
  struct State {
    bool exists = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const State&) const = default;
  };
  State Now() const;

  std::string path_;
  State seen_;
};

}  // namespace zyl::base
