#include "catalog/Descriptor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/IniFile.h"

namespace zyl::catalog {

namespace {
constexpr std::string_view kBreak = "\r\n";

void Line(std::string& out, std::string_view text) {
  out.append(text);
  out.append(kBreak);
}
}  // namespace

std::string DescriptorPathFor(std::string_view indexFolder, std::string_view name) {
  return base::JoinPath(indexFolder, std::string(name) + ".zyl");
}

std::string DatabasePathFor(std::string_view indexFolder, std::string_view descriptorPath) {
  // The descriptor's file name less its four-character extension, in the index folder.
  const std::size_t slash = descriptorPath.rfind('/');
  std::string base(slash == std::string_view::npos ? descriptorPath
                                                   : descriptorPath.substr(slash + 1));
  base = base::Left(base, base::Len(base) >= 4 ? base::Len(base) - 4 : 0);
  return base::JoinPath(indexFolder, base + ".mdb");
}

std::string EncodeMultiline(std::string_view text) {
  // A lone LF is a line break here too, so it is stored the same way.
  return base::Replace(base::Replace(text, "\r\n", "/n"), "\n", "/n");
}

std::string DecodeMultiline(std::string_view stored) {
  return base::Replace(stored, "/n", "\r\n");
}

std::string LocalDescriptorText(const IndexDefinition& def) {
  std::string out;
  Line(out, "[General]");
  Line(out, "version=" + std::string(kDescriptorVersion));
  Line(out, "dbname=" + def.dbname);
  Line(out, "title=" + def.title);
  Line(out, "desc=" + EncodeMultiline(def.desc));
  Line(out, "ext=" + def.ext);
  Line(out, "UserFiles=" + def.UserFiles);
  Line(out, "IndexType=local");
  Line(out, "FilesCount=" + std::to_string(def.FilesCount));
  Line(out, "FilesSize=" + std::to_string(def.FilesSize));
  if (def.pdfFull) Line(out, "PDF_Mode=Full");
  if (def.pdfMin) Line(out, "PDF_Mode=Min");
  Line(out, def.archive ? "Archive=1" : "Archive=0");
  Line(out, "[Mail]");
  if (def.mailOutlookExpress) Line(out, "OutlookExpress=1");
  if (def.mailNetscape) Line(out, "NetscapeMessenger=1");
  if (def.mailMaildir) Line(out, "Maildir=1");
  Line(out, "[Folders]");
  for (const IndexFolderEntry& f : def.folders) Line(out, f.path + (f.subfolders ? ",1" : ",0"));
  return out;
}

std::string WebDescriptorText(const IndexDefinition& def, std::int64_t pages) {
  std::string out;
  Line(out, "[General]");
  Line(out, "version=" + std::string(kDescriptorVersion));
  Line(out, "dbname=" + def.dbname);
  Line(out, "title=" + def.title);
  Line(out, "desc=" + EncodeMultiline(def.desc));
  Line(out, "IndexType=WebFolder");
  Line(out, "FilesCount=" + std::to_string(pages));
  Line(out, "FilesSize=" + std::to_string(def.FilesSize));
  Line(out, "StartURL=" + def.startUrl);
  Line(out, "URLDept=" + std::to_string(def.depth));
  return out;
}

namespace {
void WriteDescriptor(const std::string& path, const std::string& text) {
  std::string error;
  if (!base::WriteFileAtomic(path, text, &error))
    throw DescriptorWriteError("cannot write the index file " + path + ": " + error);
}
}  // namespace

void WriteLocalDescriptor(const IndexDefinition& def) {
  WriteDescriptor(def.descriptorPath, LocalDescriptorText(def));
}

void WriteWebDescriptor(const IndexDefinition& def, std::int64_t pages) {
  WriteDescriptor(def.descriptorPath, WebDescriptorText(def, pages));
}

void WriteIndexTotals(std::string_view descriptorPath, std::int64_t filesCount,
                      std::int64_t filesSize) {
  settings::WriteIniValue("General", "FilesCount", filesCount, descriptorPath);
  settings::WriteIniValue("General", "FilesSize", filesSize, descriptorPath);
}

void WriteIndexFilesCount(std::string_view descriptorPath, std::int64_t filesCount) {
  settings::WriteIniValue("General", "FilesCount", filesCount, descriptorPath);
}

bool CheckIndexFileName(std::string_view path) {
  if (base::AsciiLower(base::Right(path, 4)) != ".zyl") return false;
  if (base::FileExists(path)) return true;
  const int fd = ::open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool IsUnfinishedIndex(std::string_view descriptorPath) {
  if (!base::FileExists(descriptorPath) || base::IsFolder(descriptorPath)) return false;
  const std::optional<std::string> bytes = base::ReadFileBytes(descriptorPath, 4096);
  if (!bytes || bytes->find_first_not_of(" \t\r\n") != std::string::npos) return false;
  const int fd = ::open(std::string(descriptorPath).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool building = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return !building;
}

IndexBuildLock::IndexBuildLock(std::string_view descriptorPath)
    : fd_(::open(std::string(descriptorPath).c_str(), O_RDONLY | O_CLOEXEC)) {
  // Without the lock (a file system that has none) a build still runs; only the check above
  // could then take its empty descriptor for an unfinished one.
  if (fd_ >= 0) ::flock(fd_, LOCK_EX | LOCK_NB);
}

IndexBuildLock::~IndexBuildLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::string UnfinishedIndexMessage(std::string_view descriptorPath) {
  return "Индекс " + std::string(descriptorPath) +
         " не достроен: его создание было прервано. Создайте индекс с этим именем заново.";
}

}  // namespace zyl::catalog
