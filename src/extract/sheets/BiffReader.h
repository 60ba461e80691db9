// The cells of an Excel workbook stream of any BIFF version, 2 to 8: a plain BIFF2-4 file, or the
// "Book" (BIFF5/7) or "Workbook" (BIFF8) stream of an OLE2 file. Labels, shared strings (with
// their continuations across CONTINUE records), numbers, booleans and formulas' cached results;
// numbers in a date or time format come out as dates and times. Byte strings are read in the
// workbook's code page.
//
// Our own reader: the library at hand (FreeXL) reports success without a workbook for files
// written by other programs, lacks BIFF2-4 and misreads strings continued across records, and no
// other Debian library reads BIFF as a library.
#pragma once

#include <string_view>
#include <vector>

#include "extract/core/OfficeText.h"

namespace zyl::extract {

enum class BiffStatus {
  Ok,
  Encrypted,  // a FILEPASS record: the workbook needs a password
  NotBiff,    // the stream does not begin with a BOF record
  Damaged,    // records run past the stream's end
};

struct BiffWorkbook {
  BiffStatus status = BiffStatus::NotBiff;
  int version = 0;                // 2, 3, 4, 5 (5 and 7) or 8
  std::vector<SheetGrid> sheets;  // every worksheet in stream order, empty ones included
};

// Never throws; any bytes give a status.
BiffWorkbook ParseBiffStream(std::string_view stream);

}  // namespace zyl::extract
