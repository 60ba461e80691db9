#include "catalog/IndexList.h"

#include <filesystem>
#include <mutex>

#include "base/Strings.h"
#include "catalog/DescriptorReader.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::catalog {

namespace {
// A build on a worker thread adds its index while a window reads the list.
std::mutex& ListMutex() {
  static std::mutex m;
  return m;
}
}  // namespace

std::vector<std::string> ReadRecentIndexList() {
  std::lock_guard lock(ListMutex());
  return settings::SplitRecentList(settings::Config().RecentIndex);
}

void AddToRecentIndexList(std::string_view descriptorPath) {
  std::string list;
  {
    std::lock_guard lock(ListMutex());
    settings::AddToRecentList(descriptorPath, settings::Config().RecentIndex);
    list = settings::Config().RecentIndex;
  }
  settings::SaveGeneralSetting("RecentIndex", list);
}

void RemoveFromRecentIndexList(std::string_view descriptorPath) {
  std::string list;
  {
    std::lock_guard lock(ListMutex());
    // The list keeps its form ("a;b;" stays with its trailing ";"), only the entries go.
    std::vector<std::string> kept;
    for (std::string& entry : base::Split(settings::Config().RecentIndex, ";"))
      if (!base::EqualsNoCase(entry, descriptorPath)) kept.push_back(std::move(entry));
    list = base::Join(kept, ";");
    settings::Config().RecentIndex = list;
  }
  settings::SaveGeneralSetting("RecentIndex", list);
}

bool DeleteIndex(const std::string& descriptorPath, const base::MessageSink& report) {
  const std::string dbname = ReadGeneral(descriptorPath, "dbname");
  std::error_code ec;
  if (!dbname.empty()) {
    std::filesystem::remove(dbname, ec);
    std::filesystem::remove(dbname + "-wal", ec);
    std::filesystem::remove(dbname + "-shm", ec);
  } else {
    base::Deliver(report, "Ошибка в файле индекса", {}, base::MessageIcon::Error);
  }
  std::filesystem::remove(descriptorPath, ec);
  try {
    RemoveFromRecentIndexList(descriptorPath);
  } catch (const std::exception& e) {
    base::Deliver(report, e.what(), {}, base::MessageIcon::Error);
  }
  return !dbname.empty();
}

}  // namespace zyl::catalog
