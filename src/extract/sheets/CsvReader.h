// Comma-separated values (.csv), read by the program itself.
#pragma once

#include <optional>
#include <string_view>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

// Fields quoted as RFC 4180 describes (doubled quotes inside, line breaks allowed inside
// quotes); the separator is ";" when the first line holds more semicolons than commas outside
// quotes, "," otherwise. The bytes are decoded by the program's rule for outside text.
// nullopt for empty input, input with NUL bytes (not text) and a quoted field left open at
// the end (a cut file).
std::optional<SheetGrid> ParseCsv(std::string_view bytes);

// The separator ParseCsv chooses for the text.
char CsvSeparator(std::string_view text);

}  // namespace zyl::extract
