#include "extract/process/ReaderJobs.h"

#include <utility>
#include <vector>

#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/core/OfficeText.h"
#include "extract/office/OleProperties.h"
#include "extract/office/WordReader.h"
#include "extract/office/WpReader.h"
#include "extract/pdf/PdfReader.h"
#include "extract/sheets/DbfReader.h"
#include "extract/sheets/ExcelReader.h"
#include "extract/sheets/LotusReader.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

HelperDocument FromSheets(const std::vector<SheetGrid>& sheets, std::string author = {},
                          std::string title = {}) {
  return HelperDocument{WorkbookContent(sheets), std::move(author), std::move(title)};
}

HelperDocument PasswordRequired() {
  HelperDocument doc;
  doc.passwordRequired = true;
  return doc;
}

}  // namespace

std::optional<HelperDocument> WordDocumentJob(const std::string& path) {
  // ".doc" also names Word for DOS and Write files, which only the works library reads.
  if (ReadFileHead(path, kOle2Signature.size()) != kOle2Signature) return WorksTextJob(path);
  std::optional<WordDocument> doc = ReadWordDocument(path);
  if (!doc) return std::nullopt;
  if (doc->encrypted) return PasswordRequired();
  return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
}

std::optional<HelperDocument> WorksTextJob(const std::string& path) {
  std::optional<WpDocument> doc = ReadWorksText(path);
  if (!doc) return std::nullopt;
  // Works 4 and later keep their properties in the OLE2 SummaryInformation stream, which the
  // text library does not report.
  if (doc->author.empty() && doc->title.empty()) {
    if (std::optional<OleSummary> summary = ReadOleSummary(path)) {
      doc->author = std::move(summary->author);
      doc->title = std::move(summary->title);
    }
  }
  return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
}

std::optional<HelperDocument> WordPerfectJob(const std::string& path) {
  std::optional<WpDocument> doc = ReadWordPerfect(path);
  if (!doc) return std::nullopt;
  return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
}

std::optional<HelperDocument> ExcelWorkbookJob(const std::string& path) {
  std::optional<Workbook> book = ReadExcelWorkbook(path);
  if (!book) return std::nullopt;
  if (book->encrypted) return PasswordRequired();
  return FromSheets(book->sheets, std::move(book->author), std::move(book->title));
}

std::optional<HelperDocument> DbfTableJob(const std::string& path) {
  std::optional<SheetGrid> grid = ReadDbfTable(path);
  if (!grid) return std::nullopt;
  return FromSheets({std::move(*grid)});
}

std::optional<HelperDocument> LegacySheetJob(const std::string& path) {
  const std::string ext = base::FileExtension(path);
  // Lotus 1-2-3 release 2 and Quattro Pro for DOS wrote their text in the DOS code page; the
  // Windows releases in the Windows one.
  const auto origin =
      ext == "wk1" || ext == "wq1" ? LegacySheetOrigin::Dos : LegacySheetOrigin::Windows;
  std::optional<std::vector<SheetGrid>> sheets = ReadLotusWorkbook(path, origin);
  if (!sheets) return std::nullopt;
  return FromSheets(*sheets);
}

std::optional<HelperDocument> PdfTextJob(const std::string& path) {
  std::optional<PdfInfo> info = ReadPdfText(path);
  if (!info) return std::nullopt;
  return HelperDocument{std::move(info->content), std::move(info->author), std::move(info->title)};
}

}  // namespace zyl::extract
