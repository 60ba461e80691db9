#include "catalog/DescriptorReader.h"

#include "base/Strings.h"
#include "settings/IniFile.h"

namespace zyl::catalog {

std::vector<IndexFolderEntry> ReadFolders(std::string_view descriptorPath) {
  std::vector<IndexFolderEntry> folders;
  const auto lines = settings::ReadIniSection("Folders", descriptorPath);
  if (!lines) return folders;
  for (const std::string& line : *lines) {
    const std::size_t len = base::Len(line);
    if (len < 2) continue;
    folders.push_back({base::Left(line, len - 2), line.back() == '1'});
  }
  return folders;
}

std::string ReadMaskList(std::string_view descriptorPath) {
  return ReadGeneral(descriptorPath, "ext") + ReadGeneral(descriptorPath, "UserFiles");
}

std::string ReadGeneral(std::string_view descriptorPath, std::string_view key,
                        std::string_view defaultValue) {
  return settings::ReadIniValue("General", key, defaultValue, descriptorPath);
}

}  // namespace zyl::catalog
