// Writes small zip archives for the tests of the archive steps.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <string>
#include <utility>
#include <vector>

namespace zyl::test {

// A zip at `path` with the named members and their bytes, in order; with a password, every
// member is encrypted with it (traditional zip encryption). A name ending in "/" is a folder.
inline void WriteZip(const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& files,
                     const std::string& password = {}) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  if (!password.empty()) {
    archive_write_set_options(a, "zip:encryption=zipcrypt");
    archive_write_set_passphrase(a, password.c_str());
  }
  archive_write_open_filename(a, path.c_str());
  for (const auto& [name, data] : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    const bool folder = !name.empty() && name.back() == '/';
    archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
    archive_entry_set_filetype(e, folder ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(e, folder ? 0755 : 0644);
    archive_write_header(a, e);
    archive_write_data(a, data.data(), data.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
}

}  // namespace zyl::test
