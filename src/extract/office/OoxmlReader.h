// Office open XML documents: word-processing files (.docx, .docm, .dotx), workbooks (.xlsx,
// .xlsm) and presentations (.pptx), read in-process from their zip packages.
#pragma once

#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// The document's text (paragraphs one per line; a workbook's sheets as the other spreadsheet
// readers give them; a presentation's slides in show order), its title and author from the
// core properties, and the stored type "docx", "xlsx" or "pptx" by what the package holds.
// A password-protected file is an error with passwordRequired; a damaged one, a zip bomb or a
// part declaring entities is an error. Never throws.
FileInfo GetOoxmlInfo(std::string_view path);

}  // namespace zyl::extract
