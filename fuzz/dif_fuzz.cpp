// Data Interchange Format reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "extract/sheets/DifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (auto grid =
          zyl::extract::ParseDif(std::string_view(reinterpret_cast<const char*>(data), size)))
    grid->UsedRangeText();
  return 0;
}
