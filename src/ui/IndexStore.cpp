#include "ui/IndexStore.h"

#include <cstdio>

#include "base/Paths.h"
#include "catalog/DescriptorReader.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::ui {

namespace {

void SaveRecentIndex(const std::string& list) {
  settings::SaveGeneralSetting("RecentIndex", list);
  settings::Config().RecentIndex = list;
}

}  // namespace

std::string RecentIndexList() {
  return settings::LoadGeneralSetting("RecentIndex");
}

void AddRecentIndex(std::string_view path) {
  std::string list = RecentIndexList();
  settings::AddToRecentList(path, list);
  SaveRecentIndex(list);
}

void RemoveRecentIndex(std::string_view path) {
  std::string list;
  for (const std::string& entry : settings::SplitRecentList(RecentIndexList())) {
    if (entry != path) list += entry + ";";
  }
  SaveRecentIndex(list);
}

DeleteResult DeleteIndexFiles(std::string_view descriptorPath) {
  const std::string descriptor(descriptorPath);
  if (!base::FileExists(descriptor)) return DeleteResult::DescriptorGone;
  const std::string dbname = catalog::ReadGeneral(descriptor, "dbname");
  if (!dbname.empty()) {
    // The journal files of an open database go with it.
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((dbname + suffix).c_str());
  }
  std::remove(descriptor.c_str());
  return dbname.empty() ? DeleteResult::EmptyDbName : DeleteResult::Deleted;
}

}  // namespace zyl::ui
