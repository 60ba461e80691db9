#include "catalog/DescriptorReader.h"

#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/Descriptor.h"
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

IndexDefinition ReadIndexDefinition(const std::string& descriptorPath) {
  IndexDefinition def;
  def.descriptorPath = descriptorPath;
  // Reading must not create a missing descriptor.
  if (!base::FileExists(descriptorPath)) return def;
  const std::optional<settings::IniLines> lines = settings::ReadFileLines(descriptorPath);
  if (!lines) return def;
  // One read of the file for every key, with ReadIniValue's rules (text after the first "=").
  auto value = [&lines](std::string_view section, std::string_view key) -> std::string {
    const int i = settings::FindKeyLine(*lines, section, key);
    if (i < 0) return "";
    const std::string& line = (*lines)[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    return eq == std::string::npos ? "" : line.substr(eq + 1);
  };
  def.dbname = value("General", "dbname");
  def.title = value("General", "title");
  def.desc = DecodeMultiline(value("General", "desc"));
  def.ext = value("General", "ext");
  def.UserFiles = value("General", "UserFiles");
  const std::string type = value("General", "IndexType");
  if (!type.empty()) def.IndexType = type;
  def.FilesCount = base::ValInt(value("General", "FilesCount"));
  def.FilesSize = base::ValInt(value("General", "FilesSize"));
  const std::string pdf = value("General", "PDF_Mode");
  def.pdfFull = pdf == "Full";
  def.pdfMin = pdf == "Min";
  def.archive = value("General", "Archive") == "1";
  def.mailOutlookExpress = value("Mail", "OutlookExpress") == "1";
  def.mailNetscape = value("Mail", "NetscapeMessenger") == "1";
  def.mailMaildir = value("Mail", "Maildir") == "1";
  def.startUrl = value("General", "StartURL");
  def.depth = static_cast<std::int32_t>(base::ValInt(value("General", "URLDept")));
  def.folders = ReadFolders(descriptorPath);
  return def;
}

}  // namespace zyl::catalog
