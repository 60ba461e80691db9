// Lotus 1-2-3 (.wk1, .wk3, .wk4) and Quattro Pro (.wq1, .wb1) spreadsheets read through libwps
// and librevenge's spreadsheet interface.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

enum class LegacySheetOrigin { Dos, Windows };

// The cells of every sheet. `origin` names the code page old files without one are read in:
// CP866 for DOS programs, Windows-1251 for Windows ones. nullopt when libwps does not take the
// file for a spreadsheet, when it is encrypted or when the parse fails.
std::optional<std::vector<SheetGrid>> ReadLotusWorkbook(std::string_view path,
                                                        LegacySheetOrigin origin);

// True when the records of a record-based file (type and length, two bytes each) run whole up
// to an EOF record. What follows that record is not looked at: release 4 files (.wk4) keep
// their formatting as a second zone after the cells, and some writers pad files.
bool LotusRecordsReachEof(std::string_view bytes);

}  // namespace zyl::extract
