// Archives written by the tests themselves: zip, 7z and tar through libarchive's writer, and a
// cabinet (which libarchive can read but not write) put together byte by byte.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <locale.h>

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zyl::test {

struct Member {
  enum Kind { File, Folder, Symlink, Hardlink };
  Member(std::string n, std::string c = {}, Kind k = File, std::string target = {})
      : name(std::move(n)), content(std::move(c)), kind(k), linkTarget(std::move(target)) {}
  std::string name;
  std::string content;
  Kind kind = File;
  std::string linkTarget;
  std::time_t mtime = 1038824430;  // 2002-12-02 10:20:30 UTC
};

enum class ArchiveFormat { Zip, SevenZip, Tar };

// `options` are libarchive writer options ("zip:hdrcharset=CP866" for names as DOS tools wrote
// them).
inline void WriteArchive(const std::string& path, ArchiveFormat format,
                         const std::vector<Member>& members, const char* options = nullptr) {
  // libarchive writes names in the current locale's text; use UTF-8 whatever the test runs in.
  const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  const locale_t previous = utf8 ? ::uselocale(utf8) : static_cast<locale_t>(0);
  archive* a = archive_write_new();
  switch (format) {
    case ArchiveFormat::Zip:
      archive_write_set_format_zip(a);
      break;
    case ArchiveFormat::SevenZip:
      archive_write_set_format_7zip(a);
      break;
    case ArchiveFormat::Tar:
      archive_write_set_format_pax_restricted(a);
      break;
  }
  if (options) archive_write_set_options(a, options);
  if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK)
    throw std::runtime_error(archive_error_string(a));
  for (const Member& m : members) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname_utf8(e, m.name.c_str());
    archive_entry_set_mtime(e, m.mtime, 0);
    switch (m.kind) {
      case Member::File:
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, static_cast<la_int64_t>(m.content.size()));
        break;
      case Member::Folder:
        archive_entry_set_filetype(e, AE_IFDIR);
        archive_entry_set_perm(e, 0755);
        break;
      case Member::Symlink:
        archive_entry_set_filetype(e, AE_IFLNK);
        archive_entry_set_perm(e, 0777);
        archive_entry_set_symlink(e, m.linkTarget.c_str());
        break;
      case Member::Hardlink:
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_hardlink(e, m.linkTarget.c_str());
        break;
    }
    archive_write_header(a, e);
    if (m.kind == Member::File && !m.content.empty())
      archive_write_data(a, m.content.data(), m.content.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
  if (utf8) {
    ::uselocale(previous);
    ::freelocale(utf8);
  }
}

// A cabinet with one folder of stored (uncompressed) data holding the given files.
inline std::string CabinetBytes(const std::vector<Member>& files) {
  auto u16 = [](std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&](std::string& s, std::uint32_t v) {
    u16(s, v & 0xFFFF);
    u16(s, v >> 16);
  };
  std::string data;
  std::string entries;
  for (const Member& f : files) {
    u32(entries, static_cast<std::uint32_t>(f.content.size()));
    u32(entries, static_cast<std::uint32_t>(data.size()));
    u16(entries, 0);                                     // folder 0
    u16(entries, ((2002 - 1980) << 9) | (12 << 5) | 2);  // 2002-12-02
    u16(entries, (10 << 11) | (20 << 5) | (30 / 2));     // 10:20:30
    u16(entries, 0x20 | 0x80);                           // archive bit, name in UTF-8
    entries += f.name;
    entries += '\0';
    data += f.content;
  }
  const std::uint32_t headerSize = 36, folderSize = 8;
  const std::uint32_t filesAt = headerSize + folderSize;
  const std::uint32_t dataAt = filesAt + static_cast<std::uint32_t>(entries.size());
  const std::uint32_t total = dataAt + 8 + static_cast<std::uint32_t>(data.size());
  std::string cab = "MSCF";
  u32(cab, 0);
  u32(cab, total);
  u32(cab, 0);
  u32(cab, filesAt);
  u32(cab, 0);
  cab += '\x03';  // version 1.3
  cab += '\x01';
  u16(cab, 1);  // folders
  u16(cab, static_cast<unsigned>(files.size()));
  u16(cab, 0);  // flags
  u16(cab, 0);  // set id
  u16(cab, 0);  // cabinet number
  u32(cab, dataAt);
  u16(cab, 1);  // one data block
  u16(cab, 0);  // stored
  cab += entries;
  u32(cab, 0);  // no checksum
  u16(cab, static_cast<unsigned>(data.size()));
  u16(cab, static_cast<unsigned>(data.size()));
  cab += data;
  return cab;
}

}  // namespace zyl::test
