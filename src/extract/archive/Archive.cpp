#include "extract/archive/Archive.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderProtocol.h"

namespace zyl::extract {

namespace {

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
struct StrvDeleter {
  void operator()(gchar** v) const { g_strfreev(v); }
};

std::string ShellQuote(std::string_view text) {
  std::unique_ptr<gchar, GFreeDeleter> q(g_shell_quote(std::string(text).c_str()));
  return q ? std::string(q.get()) : std::string();
}

// Runs in the child between fork and exec: only async-signal-safe calls. The archiver stays in
// the process group of its unpacking job, which is not the terminal's: an archiver that asks
// the terminal for a password is stopped instead of waiting for an answer nobody will give,
// and it is ended with its job at the time limit.
void ChildSetup(gpointer data) {
  if (GPOINTER_TO_INT(data) != 0) ::dup2(2, 1);  // shown: its output goes with our messages
}

// After an outside program has unpacked: links and special files go (a link could lead the
// indexer to any file of the machine), and an archive past the limits is refused whole.
void CheckUnpackedFolder(const std::string& target, std::string_view archive,
                         const UnpackLimits& limits, const ArchiveLog& log) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::int64_t members = 0, bytes = 0;
  std::vector<fs::path> unwanted;
  for (fs::recursive_directory_iterator it(target, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status st = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(st)) continue;
    if (!fs::is_regular_file(st)) {
      unwanted.push_back(it->path());
      continue;
    }
    ++members;
    bytes += static_cast<std::int64_t>(it->file_size(ec));
  }
  for (const auto& p : unwanted) {
    fs::remove(p, ec);
    if (log)
      log("Файл архива пропущен (ссылка или особый файл): " +
          fs::path(p).lexically_relative(target).string());
  }
  if (members > limits.maxMembers) {
    ClearFolder(target);
    if (log)
      log("Архив пропущен: в нём больше" + base::StrNum(limits.maxMembers) +
          " файлов: " + std::string(archive));
  } else if (bytes > limits.maxBytes) {
    ClearFolder(target);
    if (log)
      log("Архив пропущен: распакованный размер больше" + base::StrNum(limits.maxBytes) +
          " байт: " + std::string(archive));
  }
}

}  // namespace

ArchiveKind ArchiveKindOf(std::string_view path) {
  // A name without "." gives the whole path, and a "." in a folder name gives a text with a
  // "/": neither is an archive kind.
  const std::string ext = base::FileExtension(path);
  if (ext == "zip") return ArchiveKind::Zip;
  if (ext == "rar") return ArchiveKind::Rar;
  if (ext == "arj") return ArchiveKind::Arj;
  if (ext == "lzh") return ArchiveKind::Lzh;
  if (ext == "uc2") return ArchiveKind::Uc2;
  if (ext == "cab") return ArchiveKind::Cab;
  if (ext == "7z") return ArchiveKind::SevenZip;
  if (ext == "tar") return ArchiveKind::Tar;
  return ArchiveKind::None;
}

bool IsArchiveExtension(std::string_view path) {
  // A document type whose extension ends in an archive's ("fb2.zip") claims the file first: it
  // is one document, not a folder of members.
  if (DocumentTypeForPath(path, false)) return false;
  const ArchiveKind k = ArchiveKindOf(path);
  return k != ArchiveKind::None && k != ArchiveKind::SevenZip && k != ArchiveKind::Tar;
}

ArchiverSetting ArchiverFor(ArchiveKind kind, const ArchiveOptions& c) {
  switch (kind) {
    case ArchiveKind::Zip:
      return {c.ZipPath, c.ZipCmd, c.ShowConsole};
    case ArchiveKind::Rar:
      return {c.RarPath, c.RarCmd, c.ShowConsole};
    case ArchiveKind::Arj:
      return {c.ArjPath, c.ArjCmd, c.ShowConsole};
    case ArchiveKind::Lzh:
      return {c.LhaPath, c.LhaCmd, 1};  // the LHA archiver is always shown
    case ArchiveKind::Uc2:
      return {c.UcPath, c.UcCmd, c.ShowConsole};
    case ArchiveKind::Cab:
      return {c.CabPath, c.CabCmd, c.ShowConsole};
    default:
      return {};
  }
}

std::string ResolveArchiverProgram(std::string_view program) {
  const std::string p = base::Trim(program);
  if (p.empty()) return {};
  std::string candidate;
  if (base::IsAbsolutePath(p)) {
    candidate = p;
  } else if (p.find('/') != std::string::npos) {
    candidate = base::InProgramFolder(p);
  } else {
    std::unique_ptr<gchar, GFreeDeleter> found(g_find_program_in_path(p.c_str()));
    if (found) candidate = found.get();
  }
  if (candidate.empty() || !base::FileExists(candidate) || ::access(candidate.c_str(), X_OK) != 0)
    return {};
  return candidate;
}

std::string BuildArchiverArguments(std::string_view commandTemplate, std::string_view archive,
                                   std::string_view filespec) {
  std::string masks;
  for (const std::string& m : base::Split(filespec, ";")) {
    if (m.empty()) continue;
    if (!masks.empty()) masks += ' ';
    masks += ShellQuote(m);
  }
  const std::string arc = ShellQuote(archive);
  // One left-to-right pass, so that an archive path that happens to contain "%filespec%" is
  // not rewritten by the second placeholder.
  std::string out;
  std::size_t i = 0;
  while (i < commandTemplate.size()) {
    if (commandTemplate.compare(i, 5, "%arc%") == 0) {
      out += arc;
      i += 5;
    } else if (commandTemplate.compare(i, 10, "%filespec%") == 0) {
      out += masks;
      i += 10;
    } else {
      out += commandTemplate[i++];
    }
  }
  return out;
}

bool RunArchiver(std::string_view program, std::string_view arguments, std::string_view folder,
                 int mode) {
  std::vector<std::string> args{std::string(program)};
  if (!base::Trim(arguments).empty()) {
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(std::string(arguments).c_str(), nullptr, &argv, nullptr)) return false;
    std::unique_ptr<gchar*, StrvDeleter> owned(argv);
    for (gchar** a = argv; *a; ++a) args.emplace_back(*a);
  }
  std::vector<gchar*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int flags = G_SPAWN_STDOUT_TO_DEV_NULL;
  if (mode == 0) flags |= G_SPAWN_STDERR_TO_DEV_NULL;
  const std::string dir(folder);
  GError* error = nullptr;
  gint status = 0;
  const gboolean started = g_spawn_sync(dir.empty() ? nullptr : dir.c_str(), argv.data(), nullptr,
                                        static_cast<GSpawnFlags>(flags), ChildSetup,
                                        GINT_TO_POINTER(mode), nullptr, nullptr, &status, &error);
  if (error) g_error_free(error);
  return started;
}

ArchiveOutcome ExtractArchive(std::string_view archive, std::string_view target,
                              std::string_view filespec, const ArchiveLog& log,
                              const ArchiveOptions& c) {
  const ArchiveKind kind = ArchiveKindOf(archive);
  if (kind == ArchiveKind::None) return {};
  const std::string folder = base::WithTrailingSlash(target);
  const ArchiverSetting setting = ArchiverFor(kind, c);
  // The run's options and the paths are resolved here: the reader process knows neither.
  const std::vector<std::string> args{std::string(archive),
                                      folder,
                                      std::string(filespec),
                                      ResolveArchiverProgram(setting.program),
                                      setting.command,
                                      std::to_string(setting.mode),
                                      std::to_string(c.MaxUnpackedBytes),
                                      std::to_string(c.MaxMembers)};
  std::optional<ReaderMessage> answer = RunInReader(kUnpackArchiveJob, archive, args);
  ArchiveOutcome outcome;
  if (!answer) {
    // Whatever a crashed or stopped unpacking left half-written is not listed.
    ClearFolder(folder);
    outcome.failed = true;
    if (log)
      log("Архив не удалось распаковать (сбой при чтении или истекло время): " +
          std::string(archive));
    return outcome;
  }
  outcome.unreadable = base::ValInt((*answer)[0]);
  if (log)
    for (std::size_t i = 1; i < answer->size(); ++i) log((*answer)[i]);
  return outcome;
}

std::vector<std::string> UnpackArchiveJob(const std::vector<std::string>& args) {
  if (args.size() != 8) return {};
  const std::string& archive = args[0];
  const std::string& folder = args[1];
  const std::string& filespec = args[2];
  const std::string& program = args[3];
  const UnpackLimits limits{base::ValInt(args[6]), base::ValInt(args[7])};
  std::vector<std::string> answer{"0"};
  const ArchiveLog log = [&answer](std::string_view line) { answer.emplace_back(line); };
  if (!program.empty()) {
    RunArchiver(program, BuildArchiverArguments(args[4], archive, filespec), folder,
                static_cast<int>(base::ValInt(args[5])));
    CheckUnpackedFolder(folder, archive, limits, log);
    return answer;
  }
  const UnpackResult result = UnpackWithLibrary(archive, folder, filespec, limits, log);
  answer[0] = std::to_string(result.unreadable);
  return answer;
}

std::string TempFolder() {
  return base::InProgramFolder("TMP");
}

void MakeTempFolder() {
  base::MakeFolders(TempFolder());
}

std::optional<std::string> SafeMemberPath(std::string_view name) {
  std::string n(name);
  for (char& ch : n)
    if (ch == '\\') ch = '/';
  if (n.empty() || n.front() == '/') return std::nullopt;
  std::string out;
  for (const std::string& part : base::Split(n, "/")) {
    if (part.empty() || part == ".") continue;
    if (part == "..") return std::nullopt;
    if (!out.empty()) out += '/';
    out += part;
  }
  if (out.empty()) return std::nullopt;
  return out;
}

std::string ArchiveLocation(std::string_view archive, std::string_view member) {
  std::string out = "arc:";
  out.append(archive);
  out += "//";
  out.append(member);
  return out;
}

std::optional<std::pair<std::string, std::string>> SplitArchiveLocation(std::string_view location) {
  if (location.substr(0, 4) != "arc:") return std::nullopt;
  const std::size_t sep = location.find("//", 4);
  if (sep == std::string_view::npos) return std::nullopt;
  return std::make_pair(std::string(location.substr(4, sep - 4)),
                        std::string(location.substr(sep + 2)));
}

void ClearFolder(std::string_view folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<fs::path> children;
  for (fs::directory_iterator it(std::string(folder), ec), end; !ec && it != end; it.increment(ec))
    children.push_back(it->path());
  for (const auto& p : children) {
    // An outside archiver may leave folders without access rights, which would keep their
    // contents from being removed; links are removed themselves, never what they lead to.
    if (fs::is_directory(fs::symlink_status(p, ec))) {
      ::chmod(p.c_str(), 0700);
      ClearFolder(p.string());
    }
    fs::remove(p, ec);
  }
}

}  // namespace zyl::extract
