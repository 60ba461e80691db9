// One row of the document-type table: everything the program knows about one kind of document,
// from the label in the wizard's list to the function that reads it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "extract/FileInfo.h"
#include "extract/process/HelperDocument.h"

namespace zyl::extract {

struct DocumentType;
struct ExtractOptions;

// Reads one file of `type` in this process. A reader whose type also has a job in the reader
// process hands the file on to it from here when it decides the libraries must read it.
using DocumentReader = FileInfo (*)(std::string_view path, const DocumentType& type,
                                    const ExtractOptions& options);

// Both PDF types claim ".pdf"; the run's PDF mode decides which one reads a file.
enum class PdfMode : std::uint8_t { Any, Headers, FullText };

struct DocumentType {
  std::string_view code;         // key in the type lists, the descriptor flags and the CLI
  std::string_view wizardLabel;  // default text of the type's entry in the type lists
  std::string_view mask;         // added to an index's mask list when chosen; "" when none
  // Lower-case extensions dispatched to it, without the dot; one may have several parts
  // ("fb2.zip"), and the longest one that ends a file name wins.
  std::array<std::string_view, 3> extensions;
  // The reader in this process; nullptr when the whole file goes to `job`.
  DocumentReader read;
  // What the reader process does with a file of this type; nullptr when the type never goes
  // there (its reader is safe to run inside the program).
  ReaderJob job;
  std::string_view storedType;  // ContentIndex.type of what its reader gives
  // The index manager shows shortLabel when one of the masks of an index's mask list is
  // "*." + testText (or "*." + testText + "*"). The user-defined and mail types have no test
  // text: their presence is a descriptor key of its own (UserFiles, [Mail] OutlookExpress,
  // [Mail] NetscapeMessenger).
  std::string_view testText;
  std::string_view shortLabel;
  int langKey;  // key in the language section FileType
  PdfMode pdfMode = PdfMode::Any;
};

// Adapts a reader that needs nothing but the path to a table row.
template <FileInfo (*Read)(std::string_view path)>
FileInfo ReadByPath(std::string_view path, const DocumentType&, const ExtractOptions&) {
  return Read(path);
}

}  // namespace zyl::extract
