// Finds the files an index covers: the files of one folder, or of a folder and every folder
// below it, that match a list of masks ("*.txt;*.doc;").
//
// Results are lists whose entry 0 is empty; the items stand in entries 1..n. Each folder's
// entries are taken in name order (byte order), hidden entries included; links to folders are
// not followed (no cycles), links to files count as files. A recursive search over several masks
// gives its results grouped by mask (all matches of the first mask over the whole tree, then the
// second, ...) and reports each folder once per mask, after the folders below it, because the
// build window shows and counts folders that way. The tree itself is read only once per call.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Messages.h"

namespace zyl::indexer {

class FilesRetClass {
 public:
  using List = std::vector<std::string>;  // entry 0 empty

  // Set from outside (typically from the folder event handler) to stop a walk.
  std::atomic<bool> CancelSearch{false};

  // Raised for each folder a recursive walk collects, after all folders below it.
  std::function<void(const std::string& folderName)> onFolderProceed;
  // Called after every folder entry read, so that a window can run its pending events.
  std::function<void()> onYield;
  // Where a folder that cannot be read is reported (outside a recursive walk).
  base::MessageSink onMessage;

  // Full paths of the folder's direct subfolders.
  List GetDirs(const std::string& folder);
  // True when the path exists and is a folder (a link to a folder counts); never fails.
  static bool IsFolder(const std::string& path);
  // Bare names of the folder's files that match the mask.
  List GetFilesByExt(const std::string& mask, const std::string& folder);
  // The folder and every folder below it, each after its subfolders (post-order).
  List GetSubDirs(const std::string& folder);
  // Full paths of the files matching the mask in the folder and below it.
  List GetSubFiles(const std::string& mask, const std::string& folder);
  // Full paths of the folder's own files matching any mask of the ";"-separated list.
  List GetFilesMultiExt(const std::string& masks, const std::string& folder);
  // Full paths of the files matching any mask in the folder and below it, grouped by mask.
  List GetSubFilesMultiExt(const std::string& masks, const std::string& folder);

 private:
  struct Entry {
    std::string name;
    std::string folded;  // FoldCase(name), computed once for all masks
    bool isFolder = false;
    bool isFile = false;
  };
  struct Listing {
    std::vector<Entry> entries;  // sorted by name
    int error = 0;               // errno of a failed listing; 0 when read whole or missing
  };
  struct WalkEnded {};  // a stop or a failure ending a recursive walk

  const Listing& ReadFolder(const std::string& folder);
  void Yield();
  void Fail(const char* routine, int error);
  void GetSubDirsA(List& list, const std::string& folder);

  bool recursive_ = false;
  // While a recursive search runs, every folder is read once and its listing kept here, so
  // that the second and later masks walk the same tree without touching the disk again.
  std::unordered_map<std::string, Listing> listings_;
  Listing scratch_;
};

}  // namespace zyl::indexer
