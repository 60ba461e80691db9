// Reading OLE2 compound files (Word 97-2003, Excel 97-2003 and relatives): the document
// properties of the SummaryInformation stream and the bytes of a top-level stream.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

struct OleSummary {
  std::string author;  // the Author property (who created the document), UTF-8
  std::string title;
};

// Author and title of an OLE2 file; empty texts when the file has no SummaryInformation
// stream or those properties. nullopt when the file is not an OLE2 compound file.
std::optional<OleSummary> ReadOleSummary(std::string_view path);

// The first `maxBytes` bytes of the top-level stream `name` (letter case ignored) of an OLE2
// file; nullopt when the file is not an OLE2 file, has no such stream or cannot be read.
std::optional<std::string> ReadOleStream(std::string_view path, std::string_view name,
                                         std::size_t maxBytes);

// Sets up libgsf once per process and keeps its warnings about damaged files off stderr.
void EnsureGsfReady();

}  // namespace zyl::extract
