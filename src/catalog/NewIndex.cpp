#include "catalog/NewIndex.h"

#include "base/Paths.h"
#include "catalog/Descriptor.h"

namespace zyl::catalog {

std::string DefineNewIndex(std::string_view name, std::string_view desc,
                           std::string_view indexFolder, IndexDefinition& def) {
  const std::string path = DescriptorPathFor(indexFolder, name);
  // The empty descriptor of a build that never finished holds no index: its name is free again.
  if (base::FileExists(path) && !IsUnfinishedIndex(path))
    return "Индекс с таким именем уже существует";
  if (name.empty()) return "Необходимо задать имя индекса";
  // A name holding a folder separator would put the files elsewhere than the index folder.
  if (name.find('/') != std::string_view::npos || !CheckIndexFileName(path))
    return "Имя файла неверно";
  def.title = std::string(name);
  def.desc = std::string(desc);
  def.descriptorPath = path;
  def.indexFolder = std::string(indexFolder);
  def.dbname = DatabasePathFor(indexFolder, path);
  return {};
}

std::vector<IndexFolderEntry> NormalizeChosenFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> paths;
  for (const std::string& f : folders)
    if (!f.empty()) paths.push_back(base::WithTrailingSlash(f));
  std::vector<IndexFolderEntry> out;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    bool inside = false;
    for (std::size_t j = 0; j < paths.size() && !inside; ++j)
      inside = j != i && paths[j].size() < paths[i].size() && paths[i].starts_with(paths[j]);
    if (!inside) out.push_back({paths[i], true});
  }
  return out;
}

}  // namespace zyl::catalog
