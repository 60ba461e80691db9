// Archives: which files are archives, how one is unpacked into a folder (a configured archiver
// program, or the built-in reader for kinds without one), and the "arc:" location of a member.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "extract/DocumentTypes.h"
#include "extract/ExtractOptions.h"

namespace zyl::extract {

// Receives one line (without line break) for every member or archive that is refused.
using ArchiveLog = std::function<void(std::string_view line)>;

enum class ArchiveKind { None, Zip, Rar, Arj, Lzh, Uc2, Cab, SevenZip, Tar };

// By the lower-cased text after the path's last "."; None for anything else.
ArchiveKind ArchiveKindOf(std::string_view path);
// True for the six kinds of kArchiveMasks, unless a document type claims the file by a longer
// extension ("fb2.zip").
bool IsArchiveExtension(std::string_view path);

// The [Archiver] settings of a kind: program, command template with %arc% and %filespec%,
// and the show mode of the process (0 hidden: its output is discarded).
struct ArchiverSetting {
  std::string program;
  std::string command;
  int mode = 0;
};
ArchiverSetting ArchiverFor(ArchiveKind kind, const ArchiveOptions& options);

// The program of a setting as a runnable path: an absolute path as it is, a relative one with
// a "/" below the program folder, a bare name looked up on PATH. Empty when there is no such
// executable file.
std::string ResolveArchiverProgram(std::string_view program);

// The command template with %arc% replaced by the archive path and %filespec% by the masks of
// the ";"-separated filespec, each quoted for the shell-like splitting RunArchiver does, so that
// blanks and quotes in paths survive and masks are never expanded.
std::string BuildArchiverArguments(std::string_view commandTemplate, std::string_view archive,
                                   std::string_view filespec);

// Starts program with the arguments (split as a shell splits words: blanks separate, quotes
// group; nothing is expanded) in `folder` as its working folder, with no inherited descriptors
// and no terminal, waits for it to end and returns true; false when it could not be started or
// the arguments cannot be split. The exit status is not looked at.
bool RunArchiver(std::string_view program, std::string_view arguments, std::string_view folder,
                 int mode);

// What became of one archive.
struct ArchiveOutcome {
  // The unpacking crashed or ran past the time limit; nothing of the archive was kept.
  bool failed = false;
  // Members the archive lists but that could not be extracted (a compression method the
  // built-in reader does not know, damaged data).
  std::int64_t unreadable = 0;
  bool complete() const { return !failed && unreadable == 0; }
};

// Unpacks the archive into `target`, an empty folder owned by the caller: with the configured
// archiver of its kind when its program exists, with the built-in reader otherwise, as the run's
// `options` say (archivers, limits). The work is done in the reader process (OfficeHelper.h)
// under the same time limit as a document, so an archive that crashes or hangs the unpacking is
// one failed file and leaves the folder empty. Members whose names would land outside the
// folder, links and special files are refused; an archive past the limits (MaxUnpackedBytes,
// MaxMembers) is refused whole and leaves the folder empty. Refusals, failures and members that
// could not be extracted are reported through `log`; a damaged or password-protected archive
// that lists nothing gives nothing, silently.
ArchiveOutcome ExtractArchive(std::string_view archive, std::string_view target,
                              std::string_view filespec, const ArchiveLog& log,
                              const ArchiveOptions& options);

// The reader process's side of ExtractArchive: unpacks as the arguments say and answers the
// outcome and the log lines. Runs in the process of the job.
std::vector<std::string> UnpackArchiveJob(const std::vector<std::string>& args);

// The temporary folder of unpacked archives: the program folder's "TMP".
std::string TempFolder();
// Creates TempFolder(); an existing one is fine.
void MakeTempFolder();

// The member name as a path relative to the unpack folder ("a/b.txt", separators "/", "." and
// empty components dropped; "\" of archives made on other systems read as a separator), or
// nullopt when it would not stay inside: absolute names, ".." components, empty names.
std::optional<std::string> SafeMemberPath(std::string_view name);

// "arc:" + archive path + "//" + member path.
std::string ArchiveLocation(std::string_view archive, std::string_view member);
// The two parts of an archive location, split at the first "//" after "arc:"; nullopt for any
// other location.
std::optional<std::pair<std::string, std::string>> SplitArchiveLocation(std::string_view location);

// Unpacks with the built-in reader (zip, rar, cab, lha, 7z, tar, ...). Only members whose file
// name matches a mask of the ";"-separated filespec are written ("*.*" or "" for all).
struct UnpackLimits {
  std::int64_t maxBytes = 1024LL * 1024 * 1024;
  std::int64_t maxMembers = 100000;
};
struct UnpackResult {
  std::int64_t members = 0;  // files written
  std::int64_t bytes = 0;
  bool refused = false;         // a limit was passed; the folder was emptied
  std::int64_t unreadable = 0;  // listed members whose data could not be read
};
UnpackResult UnpackWithLibrary(std::string_view archive, std::string_view target,
                               std::string_view filespec, const UnpackLimits& limits,
                               const ArchiveLog& log);

// Empties a folder (subfolders included) without following links; the folder stays.
void ClearFolder(std::string_view folder);

}  // namespace zyl::extract
