// The MP3 tag reader on arbitrary file tails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Utf8.h"
#include "extract/mp3/Mp3Reader.h"

using namespace zyl::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.size() > kMp3TagWindow) bytes = bytes.substr(bytes.size() - kMp3TagWindow);
  const FileInfo info = Mp3InfoFromTail(bytes);
  if (info.type != "mp3" || !zyl::base::IsValidUtf8(info.content) ||
      !zyl::base::IsValidUtf8(info.title) || !zyl::base::IsValidUtf8(info.author))
    std::abort();
  return 0;
}
