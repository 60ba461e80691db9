#include "extract/Archive.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Strings.h"

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

// Runs in the child between fork and exec: only async-signal-safe calls. A new session has no
// controlling terminal, so an archiver that asks for a password fails instead of waiting for
// an answer nobody will give.
void ChildSetup(gpointer data) {
  ::setsid();
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

void ExtractArchive(std::string_view archive, std::string_view target, std::string_view filespec,
                    const ArchiveLog& log, const ArchiveOptions& c) {
  const ArchiveKind kind = ArchiveKindOf(archive);
  if (kind == ArchiveKind::None) return;
  const std::string folder = base::WithTrailingSlash(target);
  const UnpackLimits limits{c.MaxUnpackedBytes, c.MaxMembers};

  const ArchiverSetting setting = ArchiverFor(kind, c);
  const std::string program = ResolveArchiverProgram(setting.program);
  if (!program.empty()) {
    RunArchiver(program, BuildArchiverArguments(setting.command, archive, filespec), folder,
                setting.mode);
    CheckUnpackedFolder(folder, archive, limits, log);
    return;
  }
  UnpackWithLibrary(archive, folder, filespec, limits, log);
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
