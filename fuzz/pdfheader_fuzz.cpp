// The PDF header scan on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "extract/pdf/PdfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zyl::extract::ScanPdfHeader(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
