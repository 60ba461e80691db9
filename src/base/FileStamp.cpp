#include "base/FileStamp.h"

#include <sys/stat.h>

#include <utility>

namespace zyl::base {

FileStamp::FileStamp(std::string path) : path_(std::move(path)), seen_(Now()) {}

FileStamp::State FileStamp::Now() const {
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0) return {};
  // The change time and the file's identity catch a rewrite within the same tick of a coarse
  // clock and a replacement by rename, which the modification time alone could miss.
  return {true,
          static_cast<std::uint64_t>(info.st_dev),
          static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::int64_t>(info.st_size),
          info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec,
          info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec};
}

bool FileStamp::Changed() {
  State now = Now();
  if (now == seen_) return false;
  seen_ = now;
  return true;
}

}  // namespace zyl::base
