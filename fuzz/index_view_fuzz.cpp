// What the index manager shows of a descriptor (its list row and its details) and the window
// layout it reads from config.ini, over arbitrary file bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzFolder.h"
#include "base/Paths.h"
#include "catalog/IndexListRow.h"
#include "settings/WindowLayout.h"

namespace {

const std::string& Folder() {
  return zyl::fuzz::FuzzFolder("view");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = Folder() + "/index.zyl";
  if (!zyl::base::WriteFileAtomic(file, std::string(reinterpret_cast<const char*>(data), size))) {
    return 0;
  }
  const auto format = [](double v) { return std::to_string(v); };
  const zyl::catalog::IndexListRow row = zyl::catalog::MakeIndexListRow(file, format);
  const zyl::catalog::IndexListRow* selected[] = {&row, &row};
  (void)zyl::catalog::SelectionSummary(selected);
  (void)zyl::catalog::ReadIndexDetails(file, [](std::string_view masks, bool) {
    return std::vector<std::string>{std::string(masks)};
  });
  (void)zyl::settings::LoadMainWindowLayout(file);
  (void)zyl::settings::LoadSearchWindowLayout(file);
  return 0;
}
