// A zip package (a document made of parts: office files, e-books, zipped books) read in place
// with libarchive: its member names, and one member's bytes by name. Documents come from
// anywhere, so every read is bounded: the member count, each member's and the package's total
// uncompressed bytes. A package past a bound is refused rather than cut, since a part cut in
// the middle is no document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct archive;  // libarchive's reading handle

namespace zyl::extract {

enum class ZipError {
  None,
  Unreadable,      // not a zip, damaged or truncated
  NotFound,        // no member of that name
  TooManyMembers,  // more members than the limit: refused whole
  TooLarge,        // a member or all members read together unpack to more than the limits
  Encrypted,       // the member needs a password
};

struct ZipLimits {
  std::size_t maxMembers = 10000;
  std::uint64_t maxMemberBytes = 256ULL << 20;
  std::uint64_t maxTotalBytes = 256ULL << 20;
};

// The limits for a document read as a package: the member count above, and per member and in
// total 64 times the run's text bound (parts are mostly markup), at least 16 MiB and at most
// 256 MiB.
ZipLimits DocumentZipLimits();

// Receives a member's bytes piece by piece; returns false to stop reading (not a failure).
using ZipSink = std::function<bool(std::string_view piece)>;

class ZipPackage {
 public:
  // Opens the zip file at `path` (or held in `bytes`) and lists its members. Never throws; a
  // failure is reported by error() and leaves an empty listing.
  static ZipPackage OpenFile(std::string_view path, const ZipLimits& limits = {});
  static ZipPackage OpenMemory(std::string bytes, const ZipLimits& limits = {});

  bool ok() const { return error_ == ZipError::None; }
  ZipError error() const { return error_; }
  // Member names in the order of the archive's directory, folders left out.
  const std::vector<std::string>& Members() const { return members_; }
  // True when some member needs a password.
  bool HasEncryptedMembers() const { return encrypted_; }
  // The listed name that `name` designates: the same name, else the one equal to it with
  // ASCII letter case ignored (part names are case-insensitive in office packages); a leading
  // "/" is ignored. Empty when none.
  std::string FindMember(std::string_view name) const;

  // Streams the member to `sink`. Stops with TooLarge once the member passes maxBytes (at
  // most the limits' maxMemberBytes) or the package's total passes maxTotalBytes; what was
  // already handed to the sink stays handed. None when the member was read whole or the sink
  // stopped. Never throws.
  ZipError ReadMember(std::string_view name, const ZipSink& sink,
                      std::uint64_t maxBytes = UINT64_MAX);
  // The member's bytes into `out` (emptied first); a member longer than maxBytes is TooLarge.
  ZipError ReadMember(std::string_view name, std::string& out, std::uint64_t maxBytes = UINT64_MAX);

  // Uncompressed bytes read from the package so far, for all members together.
  std::uint64_t bytesRead() const { return totalRead_; }

 private:
  ZipPackage() = default;
  void List();

  std::string path_;    // the file, when opened from a file
  std::string memory_;  // the bytes, when opened from memory
  bool fromMemory_ = false;
  ZipLimits limits_;
  ZipError error_ = ZipError::None;
  bool encrypted_ = false;
  std::vector<std::string> members_;
  std::vector<std::size_t> memberEntries_;  // each member's place among the directory's entries
  std::uint64_t totalRead_ = 0;

  // Parts are mostly read in the order of the directory (slides one after the other), and
  // finding an entry walks the entries before it: the reading goes on from the last member
  // read while the next one comes later, and starts over only when it comes earlier.
  struct ArchiveCloser {
    void operator()(archive* a) const;
  };
  std::unique_ptr<archive, ArchiveCloser> open_;
  std::size_t nextEntry_ = 0;
};

}  // namespace zyl::extract
