// PDF files: the quick scan of the raw bytes for the title, author and outline titles, and the
// full text of every page through poppler.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

struct PdfInfo {
  std::string content;  // UTF-8
  std::string author;
  std::string title;
};

// The header scan. Exact-case searches on the raw bytes: the author is the text between the
// first "(" after the first "/Author" and the next ")"; the title likewise after the first
// "/Title" from that "(" on (from the start when there is no author); the content is CR LF
// followed by such a value for every "/Title" in the file, with "\(" and "\)" unescaped there.
// Values are decoded by the program's rule for outside bytes. nullopt when a "/Author" or
// "/Title" has no "(" and ")" after it, and for bytes without a "%PDF-" signature near the
// start (not a PDF file).
std::optional<PdfInfo> ScanPdfHeader(std::string_view bytes);

// Text of every page in order (lines ended by CR LF, pages separated by CR LF), author and
// title from the document information. nullopt when poppler cannot open the file or the file
// needs a password.
std::optional<PdfInfo> ReadPdfText(std::string_view path);

}  // namespace zyl::extract
