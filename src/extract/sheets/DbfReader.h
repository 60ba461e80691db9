// dBase tables (.dbf) read through shapelib: field names as the first row, then every record
// that is not marked deleted.
#pragma once

#include <optional>
#include <string_view>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

// nullopt when the file is not a dBase table shapelib can open.
std::optional<SheetGrid> ReadDbfTable(std::string_view path);

// The Windows code page a dBase language driver byte (header offset 29) stands for; 0 when
// the byte names none this reader knows.
int DbfLanguageDriverCodePage(int driver);

}  // namespace zyl::extract
