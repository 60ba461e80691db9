// FictionBook reader: any bytes as a .fb2 file (plain, or a zip when they begin like one) are
// read without a crash or a hang, and a row it gives is valid UTF-8 within the text bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "FuzzFolder.h"
#include "base/Utf8.h"
#include "extract/TextLimit.h"
#include "extract/books/Fb2Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const TextLimitScope limit(4096);  // small, so that the cuts are exercised too
  static const std::string path = zyl::fuzz::FuzzFolder("fb2") + "/book.fb2";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const FileInfo info = GetFb2Info(path);
  if (info.failed()) return 0;
  if (info.type != "fb2") std::abort();
  if (!zyl::base::IsValidUtf8(info.content) || !zyl::base::IsValidUtf8(info.title) ||
      !zyl::base::IsValidUtf8(info.author))
    std::abort();
  if (info.content.size() > MaxTextBytes()) std::abort();
  return 0;
}
