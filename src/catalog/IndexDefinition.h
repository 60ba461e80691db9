// What the build writes into an index descriptor: filled by the new-index wizards, the build
// command or a test.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace zyl::catalog {

struct IndexFolderEntry {
  std::string path;  // stored as chosen, with a trailing "/"
  bool subfolders = true;

  bool operator==(const IndexFolderEntry&) const = default;
};

struct IndexDefinition {
  std::string title;
  std::string desc;            // may hold line breaks
  std::string descriptorPath;  // full path of the .zyl file
  std::string indexFolder;     // IndexFolder at the time of creation
  std::string dbname;          // full path of the database
  // Totals as 64-bit numbers: a descriptor holds the true total even past 2 GiB.
  std::int64_t FilesCount = 0;
  std::int64_t FilesSize = 0;
  std::string UserFiles;            // ";"-separated user masks ending in ";", or ""
  std::string IndexType = "local";  // "local" or "WebFolder"

  // Local index.
  std::set<std::string> types;  // chosen type codes ("txt", "doc", "pdffull", "mail_oe", ...)
  std::string ext;              // mask list of the chosen types in descriptor order
  bool pdfFull = false;
  bool pdfMin = false;
  bool archive = false;
  bool mailOutlookExpress = false;
  bool mailNetscape = false;
  std::vector<IndexFolderEntry> folders;

  // Web index.
  std::string startUrl;
  std::int32_t depth = 0;

  bool operator==(const IndexDefinition&) const = default;
};

}  // namespace zyl::catalog
