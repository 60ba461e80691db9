// The default files of data/ built into the program, used to seed the program folder.
#pragma once

#include <string_view>
#include <vector>

namespace zyl::base {

struct DefaultFile {
  std::string_view name;   // path relative to the program folder, "/" separated
  std::string_view bytes;  // file content
};

const std::vector<DefaultFile>& DefaultFiles();

}  // namespace zyl::base
