// One extracted document: what every reader returns and what becomes one ContentIndex row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zyl::catalog {

struct FileInfo {
  std::string content;  // the whole extracted text (UTF-8); never shortened here
  // The substring index's keys of the content (db::DistinctTrigramKeys), when the thread that
  // extracted it made them too; none has the row's writer find them.
  std::vector<std::uint64_t> trigramKeys;
  std::string author;
  std::string modified;  // base::FormatModified form
  std::string title;
  std::string type;      // stored type ("txt", "doc", ...) or "error"
  std::string location;  // full path, "arc:" member, mail or web location
  std::int32_t filesize = 0;
  bool textCut = false;  // content holds only the leading part of the document's text
  // With type "error": the document is encrypted, so the failure is logged as needing a
  // password rather than as unreadable.
  bool passwordRequired = false;

  bool failed() const { return type == "error"; }
};

// A document that could not be read; `passwordRequired` when it is encrypted.
inline FileInfo ErrorInfo(bool passwordRequired = false) {
  FileInfo f;
  f.type = "error";
  f.passwordRequired = passwordRequired;
  return f;
}

}  // namespace zyl::catalog
