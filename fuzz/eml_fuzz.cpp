// Saved messages: any bytes as an .eml file, and as a message file of a Maildir folder, are read
// without a crash or a hang, and the row is valid UTF-8 of its type within the text bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "FuzzFolder.h"
#include "base/Paths.h"
#include "base/Utf8.h"
#include "extract/GetFileInfo.h"
#include "extract/TextLimit.h"
#include "extract/mail/EmlReader.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string root = zyl::fuzz::FuzzFolder("eml");
    for (const char* sub : {"/Mail/cur", "/Mail/new", "/Mail/tmp"})
      if (!zyl::base::MakeFolders(root + sub)) std::abort();
    return root;
  }();
  return folder;
}

void Check(const zyl::extract::FileInfo& info, const char* type) {
  if (info.type != type) std::abort();
  if (!zyl::base::IsValidUtf8(info.content) || !zyl::base::IsValidUtf8(info.title) ||
      !zyl::base::IsValidUtf8(info.author))
    std::abort();
  if (info.content.size() > zyl::extract::MaxTextBytes()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const TextLimitScope limit(4096);  // small, so that the cuts are exercised too
  const std::string path = Folder() + "/Mail/cur/1.host:2,S";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Check(GetEmlInfo(path), "eml");
  ExtractOptions options;
  options.maxTextBytes = 4096;
  Check(GetFileInfo(path, options), "maildir");
  return 0;
}
