// INI reader and writers over arbitrary file bytes: the first input line names a section and a
// key, the whole input is the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzFolder.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "settings/IniFile.h"

namespace {

const std::string& Folder() {
  return zyl::fuzz::FuzzFolder("ini");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::settings;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = zyl::base::JoinPath(Folder(), "fuzz.ini");
  if (!zyl::base::WriteFileAtomic(path, bytes)) return 0;

  // Section and key from the first line ("section:key"), so that inputs reach real entries.
  const std::string first = bytes.substr(0, bytes.find('\n'));
  const std::size_t colon = first.find(':');
  const std::string section = first.substr(0, colon);
  const std::string key = colon == std::string::npos ? "k" : first.substr(colon + 1, 40);

  (void)ReadIniValue(section, key, "d", path);
  (void)ReadIniSection(section, path);
  (void)GetProfileValue(section, key, "d", path);
  try {
    WriteIniValue(section, key, "v", path);
    if (ReadIniValue(section, key, "d", path) != "v" && zyl::base::IsValidUtf8(section) &&
        zyl::base::IsValidUtf8(key) && section.find('\r') == std::string::npos &&
        key.find_first_of("=\r") == std::string::npos && zyl::base::TrimView(key) == key &&
        !key.empty()) {
      // A key just written must read back, unless its name cannot be written as one line.
      std::abort();
    }
    AddIniLines(section, {"a", "b=c"}, path);
    DeleteIniKey(section, key, path);
    DeleteIniSection(section, path);
  } catch (const IniWriteError&) {
  }
  return 0;
}
