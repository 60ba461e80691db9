// Excel 97-2003 workbooks and their relatives (.xls, .xlt, .xlw, .xlc, .xlm): the cells of every
// worksheet through FreeXL, author and title from the SummaryInformation stream.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/OfficeText.h"

namespace zyl::extract {

struct Workbook {
  std::vector<SheetGrid> sheets;
  std::string author;
  std::string title;
};

// nullopt for files FreeXL cannot read (not OLE2, BIFF versions it lacks, damage) and for
// encrypted workbooks.
std::optional<Workbook> ReadExcelWorkbook(std::string_view path);

// True when the BIFF records of the workbook globals (the bytes of the "Workbook" or "Book"
// stream) hold a FILEPASS record, the mark of a workbook encrypted with a password.
bool BiffHasFilePass(std::string_view stream);

}  // namespace zyl::extract
