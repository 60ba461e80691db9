// Data Interchange Format (.dif) tables, read by the program itself.
#pragma once

#include <optional>
#include <string_view>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

// The header (TABLE ... DATA) and the data part of tuples (BOT ... EOD) as a grid: one row per
// tuple, one column per vector. Numbers come as spreadsheets show them, TRUE/FALSE as words,
// NA and ERROR values as "#N/A" and "#VALUE!". The bytes are decoded by the program's rule for
// outside text. nullopt when the header or the data is malformed or the data does not end
// with EOD (a cut file).
std::optional<SheetGrid> ParseDif(std::string_view bytes);

}  // namespace zyl::extract
