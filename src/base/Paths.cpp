#include "base/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/Strings.h"

namespace zyl::base {

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  const bool folderSlash = out.back() == '/';
  const bool nameSlash = !name.empty() && name.front() == '/';
  if (folderSlash && nameSlash) {
    out.append(name.substr(1));
  } else if (!folderSlash && !nameSlash) {
    out.push_back('/');
    out.append(name);
  } else {
    out.append(name);
  }
  return out;
}

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string WithTrailingSlash(std::string_view folder) {
  std::string out(folder);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  if (out != "/") out.push_back('/');
  return out;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FileExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  return LCase(dot == std::string_view::npos ? path : path.substr(dot + 1));
}

bool IsFolder(std::string_view path) {
  if (path.empty()) return false;
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileSize(std::string_view path) {
  struct stat st {};
  if (::stat(std::string(path).c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::time_t> FileModifiedTime(std::string_view path) {
  struct stat st {};
  if (::stat(std::string(path).c_str(), &st) != 0) return std::nullopt;
  return st.st_mtime;
}

std::optional<std::string> ReadFileBytes(std::string_view path) {
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string out;
  if (st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error) {
  const std::string target(path);
  const std::filesystem::path p(target);
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  const std::string tmp = (p.parent_path() / ("." + p.filename().string() + ".tmp" +
                                              std::to_string(rng() % 1000000000)))
                              .string();
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = std::strerror(errno);
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  // Keep the permissions of a file that is being replaced.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    if (error) *error = std::strerror(errno);
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    if (error) *error = std::strerror(errno);
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool MakeFolders(std::string_view path) {
  std::error_code ec;
  std::filesystem::create_directories(std::string(path), ec);
  return IsFolder(path);
}

}  // namespace zyl::base
