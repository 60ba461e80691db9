#include "extract/container/ZipPackage.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <memory>

#include "extract/TextLimit.h"

namespace zyl::extract {

namespace {

struct ArchiveDeleter {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveDeleter>;

std::string_view WithoutLeadingSlash(std::string_view name) {
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  return name;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::string EntryName(archive_entry* entry) {
  const char* name = archive_entry_pathname_utf8(entry);
  if (name == nullptr) name = archive_entry_pathname(entry);
  return name == nullptr ? std::string() : std::string(WithoutLeadingSlash(name));
}

// The zip directory sits at the end of the file, so the seekable reader lists the members and
// finds one without unpacking the others; a file cut short has no directory and fails to open.
ArchivePtr OpenArchive(bool fromMemory, const std::string& path, const std::string& memory) {
  ArchivePtr a(archive_read_new());
  if (!a) return nullptr;
  archive_read_support_format_zip_seekable(a.get());
  const int rc = fromMemory ? archive_read_open_memory(a.get(), memory.data(), memory.size())
                            : archive_read_open_filename(a.get(), path.c_str(), 64 * 1024);
  if (rc != ARCHIVE_OK) return nullptr;
  return a;
}

}  // namespace

ZipLimits DocumentZipLimits() {
  ZipLimits limits;
  const std::uint64_t bytes = std::clamp<std::uint64_t>(
      MaxTextBytes() > (UINT64_MAX >> 6) ? UINT64_MAX : MaxTextBytes() << 6, 16ULL << 20,
      256ULL << 20);
  limits.maxMemberBytes = bytes;
  limits.maxTotalBytes = bytes;
  return limits;
}

ZipPackage ZipPackage::OpenFile(std::string_view path, const ZipLimits& limits) {
  ZipPackage p;
  p.path_ = std::string(path);
  p.limits_ = limits;
  p.List();
  return p;
}

ZipPackage ZipPackage::OpenMemory(std::string bytes, const ZipLimits& limits) {
  ZipPackage p;
  p.memory_ = std::move(bytes);
  p.fromMemory_ = true;
  p.limits_ = limits;
  p.List();
  return p;
}

void ZipPackage::List() {
  ArchivePtr a = OpenArchive(fromMemory_, path_, memory_);
  if (!a) {
    error_ = ZipError::Unreadable;
    return;
  }
  std::size_t count = 0;
  for (;;) {
    archive_entry* entry = nullptr;
    const int rc = archive_read_next_header(a.get(), &entry);
    if (rc == ARCHIVE_EOF) break;
    if (rc < ARCHIVE_WARN) {
      error_ = ZipError::Unreadable;
      break;
    }
    if (++count > limits_.maxMembers) {
      error_ = ZipError::TooManyMembers;
      break;
    }
    if (archive_entry_filetype(entry) == AE_IFDIR) continue;
    if (archive_entry_is_data_encrypted(entry) > 0) encrypted_ = true;
    std::string name = EntryName(entry);
    if (!name.empty() && name.back() != '/') members_.push_back(std::move(name));
  }
  if (error_ != ZipError::None) members_.clear();
}

std::string ZipPackage::FindMember(std::string_view name) const {
  name = WithoutLeadingSlash(name);
  for (const auto& m : members_)
    if (m == name) return m;
  for (const auto& m : members_)
    if (EqualIgnoringAsciiCase(m, name)) return m;
  return {};
}

ZipError ZipPackage::ReadMember(std::string_view name, const ZipSink& sink,
                                std::uint64_t maxBytes) {
  if (!ok()) return error_;
  const std::string wanted = FindMember(name);
  if (wanted.empty()) return ZipError::NotFound;
  maxBytes = std::min(maxBytes, limits_.maxMemberBytes);

  ArchivePtr a = OpenArchive(fromMemory_, path_, memory_);
  if (!a) return ZipError::Unreadable;
  for (;;) {
    archive_entry* entry = nullptr;
    const int rc = archive_read_next_header(a.get(), &entry);
    if (rc == ARCHIVE_EOF) return ZipError::NotFound;
    if (rc < ARCHIVE_WARN) return ZipError::Unreadable;
    if (archive_entry_filetype(entry) == AE_IFDIR || EntryName(entry) != wanted) continue;

    const bool encrypted = archive_entry_is_data_encrypted(entry) > 0;
    if (encrypted) return ZipError::Encrypted;
    // The stated size can lie, so it only refuses early; the bytes are counted as they come.
    if (archive_entry_size_is_set(entry) &&
        static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0)) > maxBytes)
      return ZipError::TooLarge;
    std::uint64_t memberRead = 0;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
      const la_ssize_t n = archive_read_data(a.get(), buffer.data(), buffer.size());
      if (n == 0) return ZipError::None;
      if (n < 0) return ZipError::Unreadable;
      const auto got = static_cast<std::uint64_t>(n);
      memberRead += got;
      totalRead_ += got;
      if (memberRead > maxBytes || totalRead_ > limits_.maxTotalBytes) return ZipError::TooLarge;
      if (!sink(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
        return ZipError::None;
    }
  }
}

ZipError ZipPackage::ReadMember(std::string_view name, std::string& out, std::uint64_t maxBytes) {
  out.clear();
  return ReadMember(
      name,
      [&out](std::string_view piece) {
        out.append(piece);
        return true;
      },
      maxBytes);
}

}  // namespace zyl::extract
