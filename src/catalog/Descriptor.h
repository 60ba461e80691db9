// The index descriptor (.zyl): the INI file that names an index's database and records how the
// index was built.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "catalog/IndexDefinition.h"

namespace zyl::catalog {

// The descriptor and database paths of a new index named `name` in `indexFolder`.
std::string DescriptorPathFor(std::string_view indexFolder, std::string_view name);
std::string DatabasePathFor(std::string_view indexFolder, std::string_view descriptorPath);

// Multi-line texts are stored on one line with "/n" for each line break.
std::string EncodeMultiline(std::string_view text);
std::string DecodeMultiline(std::string_view stored);

// The version every descriptor written here carries.
inline constexpr std::string_view kDescriptorVersion = "0.99";

// The descriptor text of a local index: every line ends with CR LF, the last one included.
std::string LocalDescriptorText(const IndexDefinition& def);
std::string WebDescriptorText(const IndexDefinition& def, std::int64_t pages);

// Create or replace the descriptor at def.descriptorPath (atomically). Throw
// DescriptorWriteError when the file cannot be written.
void WriteLocalDescriptor(const IndexDefinition& def);
void WriteWebDescriptor(const IndexDefinition& def, std::int64_t pages);

// Rewrites the totals of [General] (FilesCount, FilesSize) after an update. Throws
// settings::IniWriteError.
void WriteIndexTotals(std::string_view descriptorPath, std::int64_t filesCount,
                      std::int64_t filesSize);
// Rewrites FilesCount alone (a crawl has written the size with the descriptor already).
void WriteIndexFilesCount(std::string_view descriptorPath, std::int64_t filesCount);

class DescriptorWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when the path ends in ".zyl" (any case) and the file exists or could be created empty.
bool CheckIndexFileName(std::string_view path);

}  // namespace zyl::catalog
