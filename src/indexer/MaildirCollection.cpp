#include "indexer/MaildirCollection.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "base/Paths.h"
#include "extract/mail/Maildir.h"

namespace zyl::indexer {

namespace {

namespace fs = std::filesystem;

// Subfolders of the folder in name order, links to folders left out.
std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    if (it->symlink_status(sec).type() == fs::file_type::directory)
      names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Walk {
 public:
  Walk(std::vector<std::string>& out, const std::function<void()>& onYield,
       const std::function<bool()>& stopped)
      : out_(out), onYield_(onYield), stopped_(stopped) {}

  void Folder(const std::string& folder, bool subfolders) {
    if (Stopped()) return;
    if (onYield_) onYield_();
    const bool maildir = extract::IsMaildirFolder(folder);
    if (maildir) {
      const std::vector<std::string> messages = extract::MaildirMessages(folder);
      out_.insert(out_.end(), messages.begin(), messages.end());
    }
    if (!subfolders && !maildir) return;
    for (const std::string& name : Subfolders(folder)) {
      // A Maildir's own cur/new/tmp were read above (or, for tmp, are never read).
      if (maildir && (name == "cur" || name == "new" || name == "tmp")) continue;
      // Chosen alone, a Maildir still brings its Maildir++ folders: they are one mail store.
      if (!subfolders &&
          !(name.front() == '.' && extract::IsMaildirFolder(base::JoinPath(folder, name))))
        continue;
      Folder(base::JoinPath(folder, name), subfolders);
    }
  }

 private:
  bool Stopped() const { return stopped_ && stopped_(); }

  std::vector<std::string>& out_;
  const std::function<void()>& onYield_;
  const std::function<bool()>& stopped_;
};

}  // namespace

void AppendMaildirMessages(std::vector<std::string>& files,
                           const std::vector<catalog::IndexFolderEntry>& folders,
                           const std::function<void()>& onYield,
                           const std::function<bool()>& stopped) {
  std::vector<std::string> out;
  try {
    Walk walk(out, onYield, stopped);
    for (const catalog::IndexFolderEntry& folder : folders) {
      if (folder.path.empty() || !base::IsFolder(folder.path)) continue;
      walk.Folder(folder.path, folder.subfolders);
    }
  } catch (const std::exception&) {
    // Out of memory or a path the library refuses: what was found so far is the result.
  }
  const std::unordered_set<std::string> known(files.begin(), files.end());
  for (std::string& message : out)
    if (!known.count(message)) files.push_back(std::move(message));
}

}  // namespace zyl::indexer
