// Member names of archives and the "arc:" location form: whatever name an archive holds, the
// path it is unpacked to stays below the folder, and the location splits back into its parts.
// The archiver arguments keep every path as one word whatever characters it has.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Strings.h"
#include "extract/archive/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  using namespace zyl;

  if (const auto rel = extract::SafeMemberPath(input)) {
    if (rel->empty() || rel->front() == '/' || rel->find('\\') != std::string::npos) std::abort();
    for (const auto& part : base::Split(*rel, "/"))
      if (part.empty() || part == "." || part == "..") std::abort();
  }

  // archive path and member, split at the first newline
  const std::size_t nl = input.find('\n');
  const std::string archive = "/" + input.substr(0, nl == std::string::npos ? input.size() : nl);
  const std::string member = nl == std::string::npos ? "m" : input.substr(nl + 1);
  const std::string location = extract::ArchiveLocation(archive, member);
  const auto parts = extract::SplitArchiveLocation(location);
  if (!parts) std::abort();
  // A file's path has no empty component and does not end with "/"; such a path comes back whole.
  if (archive.find("//") == std::string::npos && archive.back() != '/' &&
      (parts->first != archive || parts->second != member))
    std::abort();

  if (archive.find('\0') == std::string::npos && member.find('\0') == std::string::npos) {
    const std::string args =
        extract::BuildArchiverArguments("x %arc% -- %filespec%", archive, member);
    gchar** argv = nullptr;
    if (g_shell_parse_argv(args.c_str(), nullptr, &argv, nullptr)) {
      if (!argv[0] || std::string(argv[0]) != "x" || !argv[1] || std::string(argv[1]) != archive)
        std::abort();
      g_strfreev(argv);
    } else {
      std::abort();  // quoting must always give words the shell rules can split
    }
  }
  return 0;
}
