// Bringing descriptors and databases of older versions up to date before they are read.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/Messages.h"

namespace zyl::catalog {

// Old descriptors stored bare type words in `ext` and bare extensions in `UserFiles`; old
// databases lack the `filesize` column. Both are converted, with the user told through
// `report`. Never throws: a failure is reported and the caller goes on.
//
// With `log` (the update, which writes the database anyway), a database without the substring
// index also gets it, filled from its rows, with a line in the log; searches leave that to the
// next update, since filling a large index takes a while.
using LogSink = std::function<void(std::string_view)>;
void UpgradeIndex(std::string_view descriptorPath, const base::MessageSink& report,
                  const LogSink& log = {});

// The mask forms of old `ext` and `UserFiles` values.
std::string UpgradeExtList(std::string_view ext);
std::string UpgradeUserFiles(std::string_view userFiles);
// True when `ext` holds more ";" than "*" (written by an older version).
bool IsOldExtList(std::string_view ext);

}  // namespace zyl::catalog
