#include "ui/IndexStore.h"

#include "base/Paths.h"
#include "catalog/IndexList.h"

namespace zyl::ui {

std::vector<std::string> RecentIndexes() {
  return catalog::ReadRecentIndexList();
}

void AddRecentIndex(std::string_view path) {
  catalog::AddToRecentIndexList(path);
}

void DeleteIndexFiles(const std::string& descriptorPath, const base::MessageSink& report) {
  if (base::FileExists(descriptorPath)) {
    catalog::DeleteIndex(descriptorPath, report);
    return;
  }
  try {
    catalog::RemoveFromRecentIndexList(descriptorPath);
  } catch (const std::exception& e) {
    base::Deliver(report, e.what(), {}, base::MessageIcon::Error);
  }
}

}  // namespace zyl::ui
