// The built-in archive reader: libarchive reads the archive, and every member is written by
// this code below the target folder through descriptors opened without following links, so
// that no member name, however made, can put a byte outside the folder.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "base/Cp1251.h"
#include "base/FileMask.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/archive/Archive.h"

namespace zyl::extract {

namespace {

struct ArchiveDeleter {
  void operator()(archive* a) const { archive_read_free(a); }
};

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  Fd& operator=(Fd&& o) noexcept {
    std::swap(fd_, o.fd_);
    return *this;
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Archives made by DOS and Windows tools store names in the OEM code page (CP866 for Russian)
// unless they mark them as UTF-8.
std::string OemNameToUtf8(std::string_view raw) {
  if (base::IsValidUtf8(raw)) return std::string(raw);
  iconv_t cd = ::iconv_open("UTF-8", "CP866");
  if (cd == reinterpret_cast<iconv_t>(-1)) return base::DecodeLegacyText(raw);
  std::string in(raw), out(raw.size() * 4 + 4, '\0');
  char* inp = in.data();
  char* outp = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  const std::size_t rc = ::iconv(cd, &inp, &inLeft, &outp, &outLeft);
  ::iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) return base::DecodeLegacyText(raw);
  out.resize(out.size() - outLeft);
  return out;
}

std::string MemberName(archive_entry* entry) {
  if (const char* utf8 = archive_entry_pathname_utf8(entry)) return utf8;
  if (const char* raw = archive_entry_pathname(entry)) return OemNameToUtf8(raw);
  return {};
}

// Opens (creating when needed) the folder of `relative` below root, one component at a time,
// never following a link. Returns the descriptor of the member's folder.
Fd OpenMemberFolder(int root, const std::vector<std::string>& parts, std::size_t count) {
  Fd dir(::dup(root));
  for (std::size_t i = 0; i < count && dir.ok(); ++i) {
    const char* name = parts[i].c_str();
    if (::mkdirat(dir.get(), name, 0755) != 0 && errno != EEXIST) return Fd();
    dir = Fd(::openat(dir.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  return dir;
}

bool MatchesFilespec(const std::vector<base::FileMask>& masks, std::string_view relative) {
  if (masks.empty()) return true;
  const std::size_t slash = relative.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? relative : relative.substr(slash + 1);
  const std::string folded = base::FoldCase(name);
  for (const auto& m : masks)
    if (m.MatchesFolded(folded)) return true;
  return false;
}

// libarchive turns member names into the text of the current locale, and in the plain "C"
// locale it gives up on every name outside ASCII. The reading thread therefore runs in a UTF-8
// locale for the duration of one archive.
class Utf8LocaleScope {
 public:
  Utf8LocaleScope() {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      utf8_ = ::newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
      if (utf8_) break;
    }
    if (utf8_) previous_ = ::uselocale(utf8_);
  }
  ~Utf8LocaleScope() {
    if (!utf8_) return;
    ::uselocale(previous_);
    ::freelocale(utf8_);
  }
  Utf8LocaleScope(const Utf8LocaleScope&) = delete;
  Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

 private:
  locale_t utf8_ = static_cast<locale_t>(0);
  locale_t previous_ = static_cast<locale_t>(0);
};

}  // namespace

UnpackResult UnpackWithLibrary(std::string_view archivePath, std::string_view target,
                               std::string_view filespec, const UnpackLimits& limits,
                               const ArchiveLog& log) {
  UnpackResult result;
  const std::string path(archivePath);
  Fd root(::open(std::string(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root.ok()) return result;

  std::vector<base::FileMask> masks;  // empty: every file
  for (const std::string& m : base::Split(filespec, ";")) {
    if (m.empty()) continue;
    if (m == "*.*" || m == "*") {
      masks.clear();
      break;
    }
    masks.emplace_back(m);
  }

  const Utf8LocaleScope utf8Names;
  std::unique_ptr<archive, ArchiveDeleter> a(archive_read_new());
  // Formats that read only the archive itself. (mtree, for one, would read files named in it.)
  archive_read_support_format_zip(a.get());
  archive_read_support_format_rar(a.get());
  archive_read_support_format_rar5(a.get());
  archive_read_support_format_cab(a.get());
  archive_read_support_format_lha(a.get());
  archive_read_support_format_7zip(a.get());
  archive_read_support_format_tar(a.get());
  archive_read_support_format_cpio(a.get());
  archive_read_support_format_iso9660(a.get());
  archive_read_support_format_ar(a.get());
  archive_read_support_filter_gzip(a.get());
  archive_read_support_filter_bzip2(a.get());
  archive_read_support_filter_xz(a.get());
  archive_read_support_filter_lzma(a.get());
  archive_read_support_filter_zstd(a.get());
  archive_read_support_filter_compress(a.get());
  if (archive_read_open_filename(a.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK) return result;

  const auto refuse = [&](const std::string& why) {
    ClearFolder(target);
    result = UnpackResult{};
    result.refused = true;
    if (log) log(why + ": " + path);
  };

  std::int64_t entries = 0;
  std::vector<char> buffer(64 * 1024);
  archive_entry* entry = nullptr;
  while (true) {
    const int rc = archive_read_next_header(a.get(), &entry);
    if (rc != ARCHIVE_OK && rc != ARCHIVE_WARN) break;  // the end, or nothing more to read
    if (++entries > limits.maxMembers) {
      refuse("Архив пропущен: в нём больше" + base::StrNum(limits.maxMembers) + " файлов");
      return result;
    }
    const std::string name = MemberName(entry);
    const mode_t type = archive_entry_filetype(entry);
    if (type == AE_IFDIR) {
      if (const auto rel = SafeMemberPath(name)) {
        const auto parts = base::Split(*rel, "/");
        OpenMemberFolder(root.get(), parts, parts.size());
      }
      continue;
    }
    if (type != AE_IFREG || archive_entry_hardlink(entry) != nullptr) {
      if (log) log("Файл архива пропущен (ссылка или особый файл): " + name);
      continue;
    }
    const auto rel = SafeMemberPath(name);
    if (!rel) {
      if (log) log("Файл архива пропущен (путь вне временной папки): " + name);
      continue;
    }
    if (archive_entry_is_encrypted(entry) || !MatchesFilespec(masks, *rel)) continue;
    if (archive_entry_size_is_set(entry) &&
        archive_entry_size(entry) > limits.maxBytes - result.bytes) {
      refuse("Архив пропущен: распакованный размер больше" + base::StrNum(limits.maxBytes) +
             " байт");
      return result;
    }

    const auto parts = base::Split(*rel, "/");
    Fd dir = OpenMemberFolder(root.get(), parts, parts.size() - 1);
    if (!dir.ok()) continue;  // a file stands where the member's folder should be
    const char* leaf = parts.back().c_str();
    Fd out(::openat(dir.get(), leaf, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!out.ok()) continue;
    bool complete = true;
    std::int64_t written = 0;
    while (true) {
      const la_ssize_t n = archive_read_data(a.get(), buffer.data(), buffer.size());
      if (n == 0) break;
      if (n < 0) {
        complete = false;
        ++result.unreadable;
        break;
      }
      written += n;
      if (written > limits.maxBytes - result.bytes) {
        refuse("Архив пропущен: распакованный размер больше" + base::StrNum(limits.maxBytes) +
               " байт");
        return result;
      }
      for (la_ssize_t done = 0; done < n;) {
        const ssize_t w =
            ::write(out.get(), buffer.data() + done, static_cast<std::size_t>(n - done));
        if (w < 0) {
          if (errno == EINTR) continue;
          complete = false;
          break;
        }
        done += w;
      }
      if (!complete) break;
    }
    if (!complete) {
      // A member that could not be read whole (damaged, or the disk is full) is not kept:
      // half a document would be indexed as if it were the whole one.
      ::unlinkat(dir.get(), leaf, 0);
      continue;
    }
    if (archive_entry_mtime_is_set(entry)) {
      const timespec times[2] = {{archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)},
                                 {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)}};
      ::futimens(out.get(), times);
    }
    result.bytes += written;
    ++result.members;
  }
  // Listed but not extracted (an old compression method such as PKZIP's "imploding", damaged
  // data): said plainly, since the archive would otherwise just seem to hold less.
  if (result.unreadable > 0 && log)
    log("Архив распакован не полностью: не удалось извлечь файлов: " +
        std::to_string(result.unreadable) + ": " + path);
  return result;
}

}  // namespace zyl::extract
