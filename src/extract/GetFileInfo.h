// The one entry point of extraction: a file path in, one FileInfo out, whatever the file.
#pragma once

#include <string_view>

#include "base/Paths.h"
#include "extract/ExtractOptions.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// Chooses the reader by the path's extension, then fills location, size and modification
// time. Never throws: a reader failure, a missing file or anything else gives type "error"
// with whatever was filled so far.
// The readers follow `options` (PDF mode, HTML reader, code-page detection).
FileInfo GetFileInfo(std::string_view path, const ExtractOptions& options = {});

// Whether files with this extension can be read here. Every kind has a built-in reader and
// unknown extensions are read as plain text, so this is true for every extension.
bool IsConverterInstalled(std::string_view extension);

using base::FileExtension;

}  // namespace zyl::extract
