// The jobs the reader process runs for the document types whose libraries may crash or hang on
// a damaged file (the table names each type's job). Each runs in a process of its own there.
#pragma once

#include <optional>
#include <string>

#include "extract/process/HelperDocument.h"

namespace zyl::extract {

// .doc/.dot: Word 97-2003 (an OLE2 file) through wv, anything else (Word for DOS, Write)
// through libwps.
std::optional<HelperDocument> WordDocumentJob(const std::string& path);
// .wps/.wri through libwps, with the OLE2 properties when the text library gives none.
std::optional<HelperDocument> WorksTextJob(const std::string& path);
// .wpd through libwpd.
std::optional<HelperDocument> WordPerfectJob(const std::string& path);
// The .xls family through our BIFF reader over libgsf.
std::optional<HelperDocument> ExcelWorkbookJob(const std::string& path);
// .dbf through shapelib.
std::optional<HelperDocument> DbfTableJob(const std::string& path);
// Lotus 1-2-3 and Quattro Pro through libwps: .wk1/.wq1 with old text in CP866, the Windows
// releases (.wk3, .wk4, .wb1) in Windows-1251.
std::optional<HelperDocument> LegacySheetJob(const std::string& path);
// .pdf through poppler.
std::optional<HelperDocument> PdfTextJob(const std::string& path);

}  // namespace zyl::extract
