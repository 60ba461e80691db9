#include "extract/mail/Maildir.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/Paths.h"

namespace zyl::extract {

namespace fs = std::filesystem;

bool IsMaildirFolder(std::string_view folder) {
  if (folder.empty()) return false;
  for (const char* sub : {"cur", "new", "tmp"})
    if (!base::IsFolder(base::JoinPath(folder, sub))) return false;
  return true;
}

bool IsMaildirMessage(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return false;
  const std::string_view parent = path.substr(0, slash);
  const std::size_t parentSlash = parent.rfind('/');
  // "cur/x" and "/cur/x" have no folder above cur/ to be the Maildir.
  if (parentSlash == std::string_view::npos || parentSlash == 0) return false;
  const std::string_view parentName = parent.substr(parentSlash + 1);
  if (parentName != "cur" && parentName != "new") return false;
  return IsMaildirFolder(parent.substr(0, parentSlash));
}

std::vector<std::string> MaildirMessages(std::string_view folder) {
  std::vector<std::string> out;
  for (const char* sub : {"cur", "new"}) {
    const std::string dir = base::JoinPath(folder, sub);
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (name.empty() || name.front() == '.') continue;
      std::error_code sec;
      if (fs::is_regular_file(it->status(sec))) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) out.push_back(base::JoinPath(dir, name));
  }
  return out;
}

}  // namespace zyl::extract
