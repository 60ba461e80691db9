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

// A zip whose members are stored with PKZIP 1's "imploding" (method 6), which the archive library
// lists but cannot extract; `stored` members are stored plainly beside them.
inline std::string ImplodedZip(const std::vector<std::string>& imploded,
                               const std::vector<std::pair<std::string, std::string>>& stored) {
  const auto le = [](std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  std::string local, central;
  std::uint32_t count = 0;
  const auto add = [&](const std::string& name, const std::string& data, std::uint16_t method,
                       std::uint32_t crc, std::uint32_t size) {
    const auto offset = static_cast<std::uint32_t>(local.size());
    std::string common;
    le(common, 10, 2);  // version needed
    le(common, 0, 2);   // flags
    le(common, method, 2);
    le(common, 0x5000, 2);  // time
    le(common, 0x2D82, 2);  // date
    le(common, crc, 4);
    le(common, static_cast<std::uint32_t>(data.size()), 4);
    le(common, size, 4);
    le(common, static_cast<std::uint32_t>(name.size()), 2);
    le(common, 0, 2);  // extra
    local += std::string("PK\x03\x04", 4) + common + name + data;
    central += std::string("PK\x01\x02", 4);
    le(central, 10, 2);  // made by
    central += common;
    le(central, 0, 2);  // comment
    le(central, 0, 2);  // disk
    le(central, 0, 2);  // internal attributes
    le(central, 0, 4);  // external attributes
    le(central, offset, 4);
    central += name;
    ++count;
  };
  for (const std::string& name : imploded) add(name, std::string(40, '\x5A'), 6, 0x12345678, 100);
  for (const auto& [name, data] : stored) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
      crc ^= static_cast<unsigned char>(c);
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    add(name, data, 0, crc, static_cast<std::uint32_t>(data.size()));
  }
  std::string end("PK\x05\x06", 4);
  le(end, 0, 2);
  le(end, 0, 2);
  le(end, count, 2);
  le(end, count, 2);
  le(end, static_cast<std::uint32_t>(central.size()), 4);
  le(end, static_cast<std::uint32_t>(local.size()), 4);
  le(end, 0, 2);
  return local + central + end;
}

}  // namespace zyl::test
