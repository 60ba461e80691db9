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

void ZipPackage::ArchiveCloser::operator()(archive* a) const {
  archive_read_free(a);
}

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
    if (!name.empty() && name.back() != '/') {
      members_.push_back(std::move(name));
      memberEntries_.push_back(count - 1);
    }
  }
  if (error_ != ZipError::None) {
    members_.clear();
    memberEntries_.clear();
  }
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
  const auto at = std::find(members_.begin(), members_.end(), wanted) - members_.begin();
  const std::size_t target = memberEntries_[static_cast<std::size_t>(at)];

  // Whatever ends the reading of a member before its end closes the archive: the next read
  // starts over rather than skipping the rest of a member that may be a bomb.
  const auto fail = [this](ZipError e) {
    open_.reset();
    return e;
  };
  if (!open_ || nextEntry_ > target) {
    open_.reset(OpenArchive(fromMemory_, path_, memory_).release());
    nextEntry_ = 0;
    if (!open_) return ZipError::Unreadable;
  }
  archive* a = open_.get();
  archive_entry* entry = nullptr;
  for (;;) {
    const int rc = archive_read_next_header(a, &entry);
    if (rc == ARCHIVE_EOF) return fail(ZipError::NotFound);
    if (rc < ARCHIVE_WARN) return fail(ZipError::Unreadable);
    if (nextEntry_++ == target) break;
  }
  // The same entries come in the same order as when they were listed.
  if (archive_entry_filetype(entry) == AE_IFDIR || EntryName(entry) != wanted)
    return fail(ZipError::Unreadable);
  if (archive_entry_is_data_encrypted(entry) > 0) return fail(ZipError::Encrypted);
  // The stated size can lie, so it only refuses early; the bytes are counted as they come.
  if (archive_entry_size_is_set(entry) &&
      static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(entry), 0)) > maxBytes)
    return fail(ZipError::TooLarge);
  std::uint64_t memberRead = 0;
  std::array<char, 64 * 1024> buffer;
  for (;;) {
    const la_ssize_t n = archive_read_data(a, buffer.data(), buffer.size());
    if (n == 0) return ZipError::None;
    if (n < 0) return fail(ZipError::Unreadable);
    const auto got = static_cast<std::uint64_t>(n);
    memberRead += got;
    totalRead_ += got;
    if (memberRead > maxBytes || totalRead_ > limits_.maxTotalBytes)
      return fail(ZipError::TooLarge);
    if (!sink(std::string_view(buffer.data(), static_cast<std::size_t>(n))))
      return fail(ZipError::None);
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
