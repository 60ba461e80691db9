// The office, spreadsheet and PDF readers behind GetFileInfo. The program's own parsers (RTF,
// CSV, DIF, the PDF header scan) run here; the file-format libraries run in the reader
// process (OfficeHelper.h). Each file is opened, read and closed within its call.
#include "extract/office/OfficeReaders.h"

#include <string>

#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/sheets/CsvReader.h"
#include "extract/sheets/DifReader.h"
#include "extract/process/OfficeHelper.h"
#include "extract/core/OfficeText.h"
#include "extract/pdf/PdfReader.h"
#include "extract/office/RtfReader.h"
#include "extract/TextLimit.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

std::string LastThreeLower(std::string_view path) {
  return base::AsciiLower(path.size() > 3 ? path.substr(path.size() - 3) : path);
}

// The first bytes of a file, enough to tell the container formats apart.
std::string FileStart(std::string_view path) {
  return ReadFileHead(path, 64);
}

bool LooksLikeRtf(std::string_view start) {
  std::size_t i = start.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (i < start.size() && (start[i] == ' ' || start[i] == '\r' || start[i] == '\n')) ++i;
  return start.substr(i, 5) == "{\\rtf";
}

FileInfo Document(std::string content, std::string author, std::string title, std::string type) {
  FileInfo info;
  info.content = std::move(content);
  info.author = std::move(author);
  info.title = std::move(title);
  info.type = std::move(type);
  return info;
}

FileInfo FromHelper(HelperJob job, std::string_view path, std::string type) {
  std::optional<HelperDocument> doc = ReadInHelper(job, path);
  if (!doc) return ErrorInfo();
  if (doc->passwordRequired) {
    FileInfo info = ErrorInfo();
    info.passwordRequired = true;
    return info;
  }
  FileInfo info = Document(std::move(doc->content), std::move(doc->author), std::move(doc->title),
                           std::move(type));
  info.textCut = doc->textCut;
  return info;
}

// The leading part of a markup file (RTF, CSV, DIF), as much as MaxTextBytes of text can come
// from; `cut` tells whether the file goes on.
std::optional<std::string> ReadMarkup(std::string_view path, bool& cut) {
  std::optional<std::string> bytes = base::ReadFileBytes(path, MaxMarkupBytes(), &cut);
  if (bytes && cut) TrimPartialCharacter(*bytes);
  return bytes;
}

FileInfo ReadRtfFile(std::string_view path, const std::string& type) {
  bool cut = false;
  std::optional<std::string> bytes = ReadMarkup(path, cut);
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

FileInfo WordInfo(std::string_view path) {
  const std::string type = LastThreeLower(path);
  if (!base::FileExists(path)) return ErrorInfo();
  const std::string start = FileStart(path);
  // A word processor opens a document by what it is, not by its name: ".doc" files that hold
  // RTF are common, and Word for DOS and Write files also carry ".doc".
  if (LooksLikeRtf(start)) return ReadRtfFile(path, type);
  if (type == "doc" || type == "dot") {
    if (start.substr(0, kOle2Signature.size()) == kOle2Signature)
      return FromHelper(HelperJob::WordDocument, path, type);
    return FromHelper(HelperJob::WorksText, path, type);
  }
  if (type == "wpd") return FromHelper(HelperJob::WordPerfect, path, type);
  if (type == "wri" || type == "wps") return FromHelper(HelperJob::WorksText, path, type);
  return ErrorInfo();  // "rtf" that is not RTF, or a kind that is not a word processor's
}

// The stored type of a spreadsheet kind.
std::string SpreadsheetType(const std::string& ext) {
  if (ext == "wk1" || ext == "wk3" || ext == "wk4") return "lotus";
  if (ext == "wq1" || ext == "wb1") return "quattro";
  if (ext == "xlw" || ext == "xlc" || ext == "xlm") return "excel2";
  return ext;
}

FileInfo TextTable(std::string_view path, const std::string& ext) {
  bool cut = false;
  std::optional<std::string> bytes = ReadMarkup(path, cut);
  if (!bytes) return ErrorInfo();
  std::optional<SheetGrid> grid = ext == "csv" ? ParseCsv(*bytes) : ParseDif(*bytes);
  if (!grid) return ErrorInfo();
  FileInfo info = Document(WorkbookContent({std::move(*grid)}), {}, {}, ext);
  info.textCut = cut;
  return info;
}

FileInfo ExcelInfo(std::string_view path) {
  const std::string ext = LastThreeLower(path);
  if (!base::FileExists(path)) return ErrorInfo();
  const std::string type = SpreadsheetType(ext);
  if (ext == "xls" || ext == "xlt" || ext == "xlw" || ext == "xlc" || ext == "xlm")
    return FromHelper(HelperJob::ExcelWorkbook, path, type);
  if (ext == "dbf") return FromHelper(HelperJob::DbfTable, path, type);
  if (ext == "csv" || ext == "dif") return TextTable(path, ext);
  // Lotus 1-2-3 release 2 and Quattro Pro for DOS wrote their text in the DOS code page; the
  // Windows releases (.wk3, .wk4, .wb1) in the Windows one.
  if (ext == "wk1" || ext == "wq1") return FromHelper(HelperJob::LotusDos, path, type);
  if (ext == "wk3" || ext == "wk4" || ext == "wb1")
    return FromHelper(HelperJob::LotusWindows, path, type);
  return ErrorInfo();
}

// A reader's failure of any kind (including running out of memory on a hostile file) is the
// file's failure, never the caller's.
template <typename F>
FileInfo Guarded(F&& read) {
  try {
    return read();
  } catch (...) {
    return ErrorInfo();
  }
}

}  // namespace

FileInfo GetWordInfo(std::string_view path) {
  return Guarded([&] { return WordInfo(path); });
}

FileInfo GetExcelInfo(std::string_view path) {
  return Guarded([&] { return ExcelInfo(path); });
}

FileInfo GetPdfHeaderInfo(std::string_view path) {
  return Guarded([&] {
    // The properties a header scan finds are near the start; a huge file is not read whole.
    std::optional<std::string> bytes = base::ReadFileBytes(path, MaxMarkupBytes());
    if (!bytes) return ErrorInfo();
    std::optional<PdfInfo> info = ScanPdfHeader(*bytes);
    if (!info) return ErrorInfo();
    return Document(std::move(info->content), std::move(info->author), std::move(info->title),
                    "pdf");
  });
}

FileInfo GetPdfTextInfo(std::string_view path) {
  return Guarded([&] {
    if (!base::FileExists(path)) return ErrorInfo();
    return FromHelper(HelperJob::PdfText, path, "pdf");
  });
}

void PrepareReaders() {
  PrepareHelper();
}

void ReleaseAutomationServers() {
  StopHelper();
  ForgetCodePages();
}

}  // namespace zyl::extract
