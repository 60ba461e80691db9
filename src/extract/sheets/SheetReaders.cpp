// The spreadsheet readers behind GetFileInfo: CSV and DIF are parsed here, the binary kinds by
// the libraries in the reader process (ReaderJobs.h).
#include "extract/sheets/SheetReaders.h"

#include <string>

#include "base/Paths.h"
#include "extract/DocumentTypes.h"
#include "extract/ExtractOptions.h"
#include "extract/TextLimit.h"
#include "extract/core/OfficeText.h"
#include "extract/office/OfficeReaders.h"
#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderJobs.h"
#include "extract/sheets/CsvReader.h"
#include "extract/sheets/DifReader.h"

namespace zyl::extract {

FileInfo ReadTextTable(std::string_view path, const DocumentType& type, const ExtractOptions&) {
  try {
    bool cut = false;
    std::optional<std::string> bytes = ReadMarkupFile(path, cut);
    if (!bytes) return ErrorInfo();
    std::optional<SheetGrid> grid =
        base::FileExtension(path) == "csv" ? ParseCsv(*bytes) : ParseDif(*bytes);
    if (!grid) return ErrorInfo();
    FileInfo info;
    info.content = WorkbookContent({std::move(*grid)});
    info.type = std::string(type.storedType);
    info.textCut = cut;
    return info;
  } catch (...) {
    // Running out of memory on a hostile file is the file's failure, never the caller's.
    return ErrorInfo();
  }
}

FileInfo GetExcelInfo(std::string_view path) {
  const DocumentType* type = DocumentTypeForPath(path, false);
  if (!type) return ErrorInfo();
  if (type->read == ReadTextTable) return ReadTextTable(path, *type, {});
  const bool sheet =
      type->job == ExcelWorkbookJob || type->job == DbfTableJob || type->job == LegacySheetJob;
  if (!sheet) return ErrorInfo();
  try {
    return ReadInReaderProcess(path, *type, {});
  } catch (...) {
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
