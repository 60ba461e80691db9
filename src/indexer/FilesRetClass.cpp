#include "indexer/FilesRetClass.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "base/FileMask.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"

namespace zyl::indexer {

namespace {

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

// What an entry is, without following a link to a folder: a link counts as a file only when it
// leads to a regular file. Sockets, pipes and devices are neither (reading a pipe would hang).
void Classify(const std::string& fullPath, unsigned char dtype, bool& isFolder, bool& isFile) {
  isFolder = isFile = false;
  if (dtype == DT_DIR) {
    isFolder = true;
    return;
  }
  if (dtype == DT_REG) {
    isFile = true;
    return;
  }
  struct stat st {};
  if (dtype == DT_UNKNOWN) {
    if (::lstat(fullPath.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
      isFolder = true;
      return;
    }
    if (S_ISREG(st.st_mode)) {
      isFile = true;
      return;
    }
    if (!S_ISLNK(st.st_mode)) return;
  } else if (dtype != DT_LNK) {
    return;
  }
  isFile = ::stat(fullPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> SplitMasks(const std::string& masks) {
  std::vector<std::string> out;
  for (auto& m : base::Split(masks, ";"))
    if (!m.empty()) out.push_back(std::move(m));
  return out;
}

}  // namespace

void FilesRetClass::Yield() {
  if (onYield) onYield();
}

void FilesRetClass::Fail(const char* routine, int error) {
  // In a recursive search a folder that cannot be read is passed over and the walk goes on:
  // folders without read rights are common here, and ending the walk at the first one would
  // silently leave out everything after it.
  if (recursive_) return;
  base::Deliver(onMessage, std::string("Ошибка в подпрограмме ") + routine + ": " +
                               base::StrNum(error) + "\r\nОбратитесь в службу поддержки");
}

const FilesRetClass::Listing& FilesRetClass::ReadFolder(const std::string& folder) {
  Listing* target = &scratch_;
  if (recursive_) {
    auto [it, inserted] = listings_.try_emplace(folder);
    if (!inserted) return it->second;
    target = &it->second;
  }
  Listing& listing = *target;
  listing = Listing{};

  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir) {
    // A folder that is not there is simply empty; anything else is a failure of the listing.
    if (errno != ENOENT && errno != ENOTDIR) listing.error = errno ? errno : EIO;
    return listing;
  }
  while (true) {
    errno = 0;
    const dirent* e = ::readdir(dir.get());
    if (!e) {
      if (errno != 0) listing.error = errno;
      break;
    }
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    Entry entry;
    entry.name = name;
    Classify(base::JoinPath(folder, name), e->d_type, entry.isFolder, entry.isFile);
    if (!entry.isFolder && !entry.isFile) continue;
    entry.folded = base::FoldCase(name);
    listing.entries.push_back(std::move(entry));
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return listing;
}

bool FilesRetClass::IsFolder(const std::string& path) {
  return base::IsFolder(path);
}

FilesRetClass::List FilesRetClass::GetDirs(const std::string& folder) {
  List result(1);
  const Listing& listing = ReadFolder(folder);
  for (const Entry& e : listing.entries) {
    if (e.isFolder) result.push_back(base::JoinPath(folder, e.name));
    Yield();
    if (CancelSearch) {
      if (recursive_) throw WalkEnded{};
      return List(1);
    }
  }
  if (listing.error) Fail("GetDirs", listing.error);
  return result;
}

FilesRetClass::List FilesRetClass::GetFilesByExt(const std::string& mask,
                                                 const std::string& folder) {
  List result(1);
  const base::FileMask fileMask(mask);
  const Listing& listing = ReadFolder(folder);
  for (const Entry& e : listing.entries) {
    if (!e.isFile || !fileMask.MatchesFolded(e.folded)) continue;
    result.push_back(e.name);
    Yield();
  }
  if (listing.error) Fail("GetFilesByExt", listing.error);
  return result;
}

void FilesRetClass::GetSubDirsA(List& list, const std::string& folder) {
  Yield();
  const List subs = GetDirs(folder);
  for (std::size_t k = 1; k < subs.size(); ++k) GetSubDirsA(list, subs[k]);
  list.push_back(folder);
  if (onFolderProceed) onFolderProceed(folder);
}

FilesRetClass::List FilesRetClass::GetSubDirs(const std::string& folder) {
  List list(1);
  // A folder that is not there has nothing below it, not even itself.
  if (!IsFolder(folder)) return list;
  GetSubDirsA(list, folder);
  return list;
}

FilesRetClass::List FilesRetClass::GetSubFiles(const std::string& mask, const std::string& folder) {
  List result(1);
  const List dirs = GetSubDirs(folder);
  for (std::size_t i = 1; i < dirs.size(); ++i) {
    const List names = GetFilesByExt(mask, dirs[i]);
    for (std::size_t j = 1; j < names.size(); ++j)
      result.push_back(base::JoinPath(dirs[i], names[j]));
  }
  return result;
}

FilesRetClass::List FilesRetClass::GetFilesMultiExt(const std::string& masks,
                                                    const std::string& folder) {
  List result(1);
  for (const std::string& mask : SplitMasks(masks)) {
    const List names = GetFilesByExt(mask, folder);
    for (std::size_t j = 1; j < names.size(); ++j)
      result.push_back(base::JoinPath(folder, names[j]));
  }
  return result;
}

FilesRetClass::List FilesRetClass::GetSubFilesMultiExt(const std::string& masks,
                                                       const std::string& folder) {
  struct RecursiveMode {
    FilesRetClass& self;
    explicit RecursiveMode(FilesRetClass& s) : self(s) { self.recursive_ = true; }
    ~RecursiveMode() {
      self.recursive_ = false;
      self.listings_.clear();
    }
  } mode(*this);

  List result(1);
  try {
    for (const std::string& mask : SplitMasks(masks)) {
      const List files = GetSubFiles(mask, folder);
      result.insert(result.end(), files.begin() + 1, files.end());
    }
  } catch (const WalkEnded&) {
    // Stopped or failed: what the finished masks found is the result.
  }
  return result;
}

}  // namespace zyl::indexer
