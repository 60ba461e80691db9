#include "indexer/ArchiveStep.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/DocumentTypes.h"
#include "extract/GetFileInfo.h"
#include "extract/core/OfficeText.h"
#include "indexer/FilesRetClass.h"

namespace zyl::indexer {

namespace {

std::atomic<unsigned> runCounter{0};

// Folders "run-<pid>-<n>" whose process is gone were left by a run that crashed or was killed.
void RemoveAbandonedRuns(const std::string& tmp) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator it(tmp, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("run-", 0) != 0) continue;
    const auto pieces = base::Split(name.substr(4), "-");
    if (pieces.size() != 2 || pieces[0].empty() ||
        pieces[0].find_first_not_of("0123456789") != std::string::npos)
      continue;
    const pid_t pid = static_cast<pid_t>(base::ValInt(pieces[0]));
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      extract::ClearFolder(it->path().string());
      fs::remove(it->path(), ec);
    }
  }
}

// A member that no reader of its own claims would be stored as plain text. Programs, images and
// nested archives are not text and would only give rows of junk; text has no NUL bytes, at least
// not near its start.
bool WorthStoring(const std::string& member) {
  // Both PDF modes claim ".pdf", so the mode does not matter here.
  if (extract::DocumentTypeForPath(member, false)) return true;
  return extract::ReadFileHead(member, 4096).find('\0') == std::string::npos;
}

}  // namespace

ArchiveRun::ArchiveRun(extract::ArchiveLog log, extract::ArchiveOptions options)
    : log_(std::move(log)), options_(std::move(options)) {
  extract::MakeTempFolder();
  const std::string tmp = extract::TempFolder();
  RemoveAbandonedRuns(tmp);
  folder_ = base::JoinPath(
      tmp, "run-" + std::to_string(::getpid()) + "-" + std::to_string(runCounter.fetch_add(1)));
  extract::ClearFolder(folder_);  // a folder of an earlier process with the same number
  base::MakeFolders(folder_);
}

ArchiveRun::~ArchiveRun() {
  extract::ClearFolder(folder_);
  std::error_code ec;
  std::filesystem::remove(folder_, ec);
}

std::size_t ArchiveRun::Process(const std::string& archive, const ArchiveMemberHandler& perMember) {
  extract::ClearFolder(folder_);
  base::MakeFolders(folder_);
  lastOutcome_ = extract::ExtractArchive(archive, folder_, "*.*", log_, options_);

  FilesRetClass lister;
  lister.onYield = onYield;
  lister.onMessage = onMessage;
  const FilesRetClass::List members = lister.GetSubFilesMultiExt("*.*", folder_);
  const std::string prefix = base::WithTrailingSlash(folder_);
  std::size_t handed = 0;
  for (std::size_t i = 1; i < members.size(); ++i) {
    const std::string& file = members[i];
    if (file.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string location = extract::ArchiveLocation(archive, file.substr(prefix.size()));
    if (!WorthStoring(file)) {
      if (log_) log_("Файл архива пропущен (не текст и нет средства чтения): " + location);
      continue;
    }
    if (perMember) perMember(file, location);
    ++handed;
  }
  extract::ClearFolder(folder_);
  return handed;
}

std::size_t ProcessArchive(const std::string& archive, const ArchiveMemberHandler& perMember,
                           const extract::ArchiveLog& log, const extract::ArchiveOptions& options) {
  ArchiveRun run(log, options);
  return run.Process(archive, perMember);
}

}  // namespace zyl::indexer
