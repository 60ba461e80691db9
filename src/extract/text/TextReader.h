// The plain-text reader: ".txt" files and every extension no other reader claims.
#pragma once

#include <string_view>

#include "extract/DocumentType.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// The whole file as content; no author or title. Type "txt" when the path ends in ".txt"
// (any letter case), "users" otherwise; "error" when the file cannot be read. With
// `detectCodePage` the text is recoded by the code page detector (see DecodePlainText).
FileInfo GetTextInfo(std::string_view path, bool detectCodePage = false);
// The table's reader of plain text: GetTextInfo with the run's code-page detection.
FileInfo ReadPlainText(std::string_view path, const DocumentType& type,
                       const ExtractOptions& options);

// Content from bytes already read: with `detectCodePage`, recoded by the code page detector
// (AutoRecode); otherwise by its byte-order mark (UTF-8, UTF-16) when it has one, else by the
// program's one rule for outside text.
std::string DecodePlainText(std::string_view bytes, bool detectCodePage);

}  // namespace zyl::extract
