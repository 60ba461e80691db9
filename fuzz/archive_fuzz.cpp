// The built-in archive reader: an archive of any bytes unpacks without a crash or a hang and
// puts files only below its target folder, within the limits.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzFolder.h"
#include "base/Paths.h"
#include "extract/archive/Archive.h"

namespace {

struct Scratch {
  std::string root = zyl::fuzz::FuzzFolder("archive");
  std::string archive = root + "/input.zip";
  std::string target = root + "/out";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  namespace fs = std::filesystem;
  // A plain write: the input is thrown away next round, so it needs no flush to the disk.
  if (!std::ofstream(scratch.archive, std::ios::binary | std::ios::trunc)
           .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size)))
    return 0;
  zyl::base::MakeFolders(scratch.target);
  const zyl::extract::UnpackLimits limits{1 << 20, 200};
  const auto result =
      zyl::extract::UnpackWithLibrary(scratch.archive, scratch.target, "*.*", limits, {});
  if (result.bytes > limits.maxBytes || result.members > limits.maxMembers) std::abort();
  // Nothing but the input and the target folder may exist in the scratch folder.
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(scratch.root, ec))
    if (e.path() != scratch.archive && e.path() != scratch.target) std::abort();
  for (fs::recursive_directory_iterator it(scratch.target, ec), end; !ec && it != end;
       it.increment(ec))
    if (fs::is_symlink(it->symlink_status())) std::abort();
  zyl::extract::ClearFolder(scratch.target);
  return 0;
}
