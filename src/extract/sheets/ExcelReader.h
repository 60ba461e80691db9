// Excel workbooks of every BIFF version and their relatives (.xls, .xlt, .xlw, .xlc, .xlm): the
// cells of every worksheet through our own BIFF reader (BiffReader.h) over the file or its OLE2
// workbook stream, author and title from the SummaryInformation stream.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

struct Workbook {
  std::vector<SheetGrid> sheets;
  std::string author;
  std::string title;
  bool encrypted = false;  // a password-protected workbook: nothing else is filled
};

// nullopt for files that hold no workbook (an OLE2 file without a workbook stream, text, other
// formats) and for damaged ones. Never throws.
std::optional<Workbook> ReadExcelWorkbook(std::string_view path);

// True when the BIFF records of the workbook globals (the bytes of the "Workbook" or "Book"
// stream) hold a FILEPASS record, the mark of a workbook encrypted with a password.
bool BiffHasFilePass(std::string_view stream);

}  // namespace zyl::extract
