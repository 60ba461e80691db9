// Reading an index descriptor the way every part of the program does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/IndexDefinition.h"

namespace zyl::catalog {

// The [Folders] lines: each non-empty line is a folder path, "," and one flag digit ("1" =
// include subfolders). A line too short to hold both is skipped.
std::vector<IndexFolderEntry> ReadFolders(std::string_view descriptorPath);

// The mask list an update searches for: `ext` followed by `UserFiles` when that is not empty.
std::string ReadMaskList(std::string_view descriptorPath);

// A key of [General] with its reader's default ("" when missing).
std::string ReadGeneral(std::string_view descriptorPath, std::string_view key,
                        std::string_view defaultValue = "");

// The whole descriptor, the mirror of WriteLocalDescriptor and WriteWebDescriptor: paths,
// title, description (line breaks restored), totals, masks, PDF mode, archive and mail flags,
// folders, start address and depth. The chosen type codes and the index folder are not stored
// and stay empty. A missing descriptor gives an empty definition with its path.
IndexDefinition ReadIndexDefinition(const std::string& descriptorPath);

}  // namespace zyl::catalog
