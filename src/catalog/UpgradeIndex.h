// Bringing descriptors and databases of older versions up to date before they are read.
#pragma once

#include <string>
#include <string_view>

#include "base/Messages.h"

namespace zyl::catalog {

// Old descriptors stored bare type words in `ext` and bare extensions in `UserFiles`; old
// databases lack the `filesize` column. Both are converted, with the user told through
// `report`. Never throws: a failure is reported and the caller goes on.
void UpgradeIndex(std::string_view descriptorPath, const base::MessageSink& report);

// The mask forms of old `ext` and `UserFiles` values.
std::string UpgradeExtList(std::string_view ext);
std::string UpgradeUserFiles(std::string_view userFiles);
// True when `ext` holds more ";" than "*" (written by an older version).
bool IsOldExtList(std::string_view ext);

}  // namespace zyl::catalog
