#include "indexer/Host.h"

#include "settings/LangKeys.h"

namespace zyl::indexer {

std::string StageText(Stage stage) {
  switch (stage) {
    case Stage::kSearchingFiles:
      return settings::LangString(settings::kBuildSearchingFiles);
    case Stage::kProcessingFiles:
      return settings::LangString(settings::kBuildProcessingFile);
    case Stage::kReady:
      break;
  }
  return settings::LangString(settings::kBuildReady);
}

std::string ItemLabel(ItemKind kind) {
  return settings::LangString(kind == ItemKind::kFolder ? settings::kBuildFolder
                                                        : settings::kBuildFile) +
         ":";
}

}  // namespace zyl::indexer
