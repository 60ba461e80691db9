#include "extract/core/Charsets.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <memory>

#include "base/Strings.h"

namespace zyl::extract {

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};

}  // namespace

std::optional<std::string> RecodeCharset(std::string_view bytes, std::string_view charset) {
  const std::string name = base::Trim(charset);
  // An empty name would open the platform's default converter: not what was declared.
  if (name.empty() || name.size() > 64) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name.c_str(), &status));
  if (U_FAILURE(status) || !converter) return std::nullopt;
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX / 2)) return std::nullopt;
  icu::UnicodeString text(bytes.data(), static_cast<int32_t>(bytes.size()), converter.get(),
                          status);
  if (U_FAILURE(status)) return std::nullopt;
  std::string out;
  text.toUTF8String(out);
  return out;
}

}  // namespace zyl::extract
