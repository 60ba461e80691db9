// Rich Text Format reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "extract/office/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zyl::extract::ParseRtf(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
