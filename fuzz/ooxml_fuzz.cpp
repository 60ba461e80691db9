// The office open XML reader (.docx, .xlsx, .pptx) on arbitrary bytes: no crash, no hang, and never
// more text than the bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "FuzzFolder.h"
#include "extract/TextLimit.h"
#include "extract/office/OoxmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = zyl::fuzz::FuzzFolder("ooxml") + "/input";
  if (!std::ofstream(path, std::ios::binary | std::ios::trunc)
           .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size)))
    return 0;
  const zyl::extract::TextLimitScope limit(1 << 16);
  const auto info = zyl::extract::GetOoxmlInfo(path);
  if (info.content.size() > (1 << 16)) std::abort();
  if (info.failed() && !info.content.empty()) std::abort();
  return 0;
}
