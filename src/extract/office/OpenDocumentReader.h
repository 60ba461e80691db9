// OpenDocument files in their zip form: text documents (.odt), spreadsheets (.ods) and
// presentations (.odp), read in-process.
#pragma once

#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// The document's text (paragraphs and headings one per line; a spreadsheet's tables as the
// other spreadsheet readers give them; a presentation's pages in order), its title and author
// from the metadata, and the stored type "odt", "ods" or "odp" by what the document's body
// holds. An encrypted document is an error with passwordRequired; a damaged one, a zip bomb or
// a part declaring entities is an error. Never throws.
FileInfo GetOpenDocumentInfo(std::string_view path);

}  // namespace zyl::extract
