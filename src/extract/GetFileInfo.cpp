#include "extract/GetFileInfo.h"

#include <cstdint>
#include <limits>

#include "base/DateTime.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/DocumentTypes.h"
#include "extract/TextLimit.h"

namespace zyl::extract {

namespace {

FileInfo RunReader(std::string_view path, const ExtractOptions& options) {
  // A file no type claims, and the user-defined masks, are read as plain text.
  const DocumentType* type = DocumentTypeForPath(path, options.pdfFullText);
  if (!type || !type->read) type = FindDocumentType("users");
  return type->read(path, *type, options);
}

}  // namespace

bool IsConverterInstalled(std::string_view) {
  return true;
}

FileInfo GetFileInfo(std::string_view path, const ExtractOptions& options) {
  FileInfo info;
  try {
    const std::string extension = base::FileExtension(path);
    if (!IsConverterInstalled(extension)) return ErrorInfo();
    // Every reader below takes the run's bound from this scope.
    const TextLimitScope limit(options.maxTextBytes);
    FileInfo read = RunReader(path, options);
    // Whatever the reader, no document gives more than MaxTextBytes of text.
    info.textCut = CutText(read.content, MaxTextBytes()) || read.textCut;
    info.content = std::move(read.content);
    info.author = std::move(read.author);
    info.title = std::move(read.title);
    info.type = std::move(read.type);
    info.passwordRequired = read.passwordRequired;
    info.location = std::string(path);
    // Sizes past the stored 32-bit range are kept at its top rather than wrapped negative.
    const std::uint64_t size = base::FileSize(path).value_or(0);
    info.filesize = static_cast<std::int32_t>(
        std::min<std::uint64_t>(size, std::numeric_limits<std::int32_t>::max()));
    info.modified = base::FileModifiedText(path).value_or("");
  } catch (...) {
    info.type = "error";
  }
  return info;
}

}  // namespace zyl::extract
