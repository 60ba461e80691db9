// The word-processor and PDF readers behind GetFileInfo. The program's own parsers (RTF, the
// PDF header scan) run here; the file-format libraries run in the reader process
// (OfficeHelper.h). Each file is opened, read and closed within its call.
#include "extract/office/OfficeReaders.h"

#include <string>

#include "base/Paths.h"
#include "extract/DocumentTypes.h"
#include "extract/ExtractOptions.h"
#include "extract/TextLimit.h"
#include "extract/core/OfficeText.h"
#include "extract/office/RtfReader.h"
#include "extract/pdf/PdfReader.h"
#include "extract/process/OfficeHelper.h"

namespace zyl::extract {

namespace {

bool LooksLikeRtf(std::string_view start) {
  std::size_t i = start.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (i < start.size() && (start[i] == ' ' || start[i] == '\r' || start[i] == '\n')) ++i;
  return start.substr(i, 5) == "{\\rtf";
}

FileInfo Document(std::string content, std::string author, std::string title,
                  std::string_view type) {
  FileInfo info;
  info.content = std::move(content);
  info.author = std::move(author);
  info.title = std::move(title);
  info.type = std::string(type);
  return info;
}

FileInfo ReadRtfFile(std::string_view path, std::string_view type) {
  bool cut = false;
  std::optional<std::string> bytes = ReadMarkupFile(path, cut);
  if (!bytes) return ErrorInfo();
  // The leading part of a document ends inside its groups; closing them reads it as a whole
  // document that ends there. (The reader stops at the end of the outermost group.)
  if (cut) bytes->append(1024, '}');
  std::optional<RtfDocument> doc = ParseRtf(*bytes);
  if (!doc) return ErrorInfo();
  FileInfo info =
      Document(std::move(doc->text), std::move(doc->author), std::move(doc->title), type);
  info.textCut = cut;
  return info;
}

}  // namespace

FileInfo ReadWordProcessor(std::string_view path, const DocumentType& type,
                           const ExtractOptions& options) {
  try {
    if (!base::FileExists(path)) return ErrorInfo();
    // A word processor opens a document by what it is, not by its name: ".doc" files that hold
    // RTF are common, and Word for DOS and Write files also carry ".doc".
    if (LooksLikeRtf(ReadFileHead(path, 64))) return ReadRtfFile(path, type.storedType);
    if (!type.job) return ErrorInfo();  // "rtf" that is not RTF
    return ReadInReaderProcess(path, type, options);
  } catch (...) {
    // A reader's failure of any kind (including running out of memory on a hostile file) is
    // the file's failure, never the caller's.
    return ErrorInfo();
  }
}

FileInfo GetWordInfo(std::string_view path) {
  const DocumentType* type = DocumentTypeForPath(path, false);
  if (!type || type->read != ReadWordProcessor) return ErrorInfo();
  return ReadWordProcessor(path, *type, {});
}

FileInfo GetPdfHeaderInfo(std::string_view path) {
  try {
    // The properties a header scan finds are near the start; a huge file is not read whole.
    std::optional<std::string> bytes = base::ReadFileBytes(path, MaxMarkupBytes());
    if (!bytes) return ErrorInfo();
    std::optional<PdfInfo> info = ScanPdfHeader(*bytes);
    if (!info) return ErrorInfo();
    return Document(std::move(info->content), std::move(info->author), std::move(info->title),
                    "pdf");
  } catch (...) {
    return ErrorInfo();
  }
}

FileInfo GetPdfTextInfo(std::string_view path) {
  try {
    return ReadInReaderProcess(path, *DocumentTypeForPath("x.pdf", true), {});
  } catch (...) {
    return ErrorInfo();
  }
}

void PrepareReaders() {
  PrepareHelper();
}

void ReleaseAutomationServers() {
  StopHelper();
  ForgetCodePages();
}

}  // namespace zyl::extract
