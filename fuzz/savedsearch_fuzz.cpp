// Saved searches over arbitrary file bytes: whatever a file holds, the form read from it has its
// list positions in range, and writing that form and reading it again gives the same form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzFolder.h"
#include "base/Paths.h"
#include "search/SavedSearch.h"
#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::search;
  const std::string& folder = zyl::fuzz::FuzzFolder("savedsearch");
  const std::string in = zyl::base::JoinPath(folder, "in.zyq");
  const std::string out = zyl::base::JoinPath(folder, "out.zyq");
  if (!zyl::base::WriteFileAtomic(in, std::string(reinterpret_cast<const char*>(data), size)))
    return 0;
  const SearchForm form = OpenSearch(in);
  if (form.searchType < kAnyWord || form.searchType > kQueryLanguage) std::abort();
  if (form.dateUnit < kMinutes || form.dateUnit > kYears) std::abort();
  if (form.sizeRelation < kGreater || form.sizeRelation > kEqual) std::abort();
  if (form.sizeUnit < kBytes || form.sizeUnit > kMegabytes) std::abort();
  std::filesystem::remove(out);
  try {
    SaveSearch(out, form);
  } catch (const zyl::settings::IniWriteError&) {
    return 0;
  }
  if (!(OpenSearch(out) == form)) std::abort();
  return 0;
}
