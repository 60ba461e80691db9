#include "extract/TextReader.h"

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/CodePages.h"

namespace zyl::extract {

std::string DecodePlainText(std::string_view bytes, bool detectCodePage) {
  if (detectCodePage) return AutoRecode(bytes);
  if (auto marked = DecodeMarkedText(bytes)) return std::move(*marked);
  return base::DecodeLegacyText(bytes);
}

FileInfo GetTextInfo(std::string_view path, bool detectCodePage) {
  auto bytes = base::ReadFileBytes(path);
  if (!bytes) return ErrorInfo();
  FileInfo info;
  info.content = DecodePlainText(*bytes, detectCodePage);
  info.type = base::LCase(base::Right(path, 4)) == ".txt" ? "txt" : "users";
  return info;
}

}  // namespace zyl::extract
