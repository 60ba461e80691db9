#include "extract/text/TextReader.h"

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/ExtractOptions.h"
#include "extract/TextLimit.h"
#include "extract/core/CodePages.h"

namespace zyl::extract {

std::string DecodePlainText(std::string_view bytes, bool detectCodePage) {
  if (detectCodePage) return AutoRecode(bytes);
  if (auto marked = DecodeMarkedText(bytes)) return std::move(*marked);
  return base::DecodeLegacyText(bytes);
}

FileInfo ReadPlainText(std::string_view path, const DocumentType&, const ExtractOptions& options) {
  return GetTextInfo(path, options.forceCodePage);
}

FileInfo GetTextInfo(std::string_view path, bool detectCodePage) {
  bool cut = false;
  auto bytes = base::ReadFileBytes(path, MaxTextBytes(), &cut);
  if (!bytes) return ErrorInfo();
  if (cut) TrimPartialCharacter(*bytes);
  FileInfo info;
  info.content = DecodePlainText(*bytes, detectCodePage);
  info.textCut = cut;
  info.type = base::LCase(base::Right(path, 4)) == ".txt" ? "txt" : "users";
  return info;
}

}  // namespace zyl::extract
