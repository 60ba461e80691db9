// The zip package reader on arbitrary bytes: lists and reads every member without a crash, and
// never hands over more than the limits allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "extract/container/ZipPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const ZipLimits limits{.maxMembers = 64, .maxMemberBytes = 1 << 20, .maxTotalBytes = 4 << 20};
  ZipPackage zip =
      ZipPackage::OpenMemory(std::string(reinterpret_cast<const char*>(data), size), limits);
  if (zip.Members().size() > limits.maxMembers) std::abort();
  std::string out;
  for (const auto& name : zip.Members()) {
    const ZipError e = zip.ReadMember(name, out);
    if (e == ZipError::None && out.size() > limits.maxMemberBytes) std::abort();
  }
  if (zip.bytesRead() > limits.maxTotalBytes + (64 << 10)) std::abort();
  return 0;
}
