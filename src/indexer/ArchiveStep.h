// The archive step of a build or update: each archive is unpacked into a temporary folder of
// this run, its members are listed and handed on one by one with their "arc:" locations, and
// the folder is emptied before the next archive, so that members never mix.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/Messages.h"
#include "extract/archive/Archive.h"

namespace zyl::indexer {

// memberFile: the unpacked file on disk; location: "arc:" + archive + "//" + member path.
using ArchiveMemberHandler =
    std::function<void(const std::string& memberFile, const std::string& location)>;

class ArchiveRun {
 public:
  // Creates a fresh folder of its own below the program folder's TMP (run-<pid>-<n>), and
  // removes folders that crashed runs of other processes left there.
  // `options` chooses the archivers and limits of every archive of the run.
  explicit ArchiveRun(extract::ArchiveLog log = {}, extract::ArchiveOptions options = {});
  // Removes the folder with everything in it.
  ~ArchiveRun();
  ArchiveRun(const ArchiveRun&) = delete;
  ArchiveRun& operator=(const ArchiveRun&) = delete;

  const std::string& folder() const { return folder_; }

  // Unpacks one archive and calls perMember for every unpacked file, in the order of a
  // recursive "*.*" listing of the folder (files of subfolders first, names in byte order);
  // a member that no reader of its own claims and that holds NUL bytes in its first 4 KB (a
  // program, an image, a nested archive) is logged and left out. The folder is empty again
  // when it returns. Returns the number of members handed on.
  std::size_t Process(const std::string& archive, const ArchiveMemberHandler& perMember);

  // What became of the archive of the last Process call.
  const extract::ArchiveOutcome& lastOutcome() const { return lastOutcome_; }

  // Called between listed entries, so that a window stays responsive during a large listing.
  std::function<void()> onYield;
  // Where a listing failure of the unpacked members is reported.
  base::MessageSink onMessage;

 private:
  extract::ArchiveLog log_;
  extract::ArchiveOutcome lastOutcome_;
  extract::ArchiveOptions options_;
  std::string folder_;
};

// One archive in a run of its own.
std::size_t ProcessArchive(const std::string& archive, const ArchiveMemberHandler& perMember,
                           const extract::ArchiveLog& log = {},
                           const extract::ArchiveOptions& options = {});

}  // namespace zyl::indexer
