// The table's reader of the spreadsheet kinds the program parses itself (CSV, DIF).
#pragma once

#include <string_view>

#include "extract/DocumentType.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// A CSV or DIF table, as the type's extension says: the used cells TAB and line separated.
FileInfo ReadTextTable(std::string_view path, const DocumentType& type,
                       const ExtractOptions& options);

}  // namespace zyl::extract
