#include "extract/pdf/PdfReader.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "extract/office/OfficeReaders.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

PdfInfo Scan(const std::string& body) {
  std::optional<PdfInfo> info = ScanPdfHeader("%PDF-1.4\n" + body);
  EXPECT_TRUE(info.has_value()) << body;
  return info.value_or(PdfInfo{"<not scanned>", "", ""});
}

TEST(PdfTest, HeaderScanTakesTitleAuthorAndEveryTitleValue) {
  PdfInfo info = Scan("1 0 obj << /Title (Report) >> endobj");
  EXPECT_EQ(info.author, "");
  EXPECT_EQ(info.title, "Report");
  EXPECT_EQ(info.content, "\r\nReport");

  // The title is searched from the author's value on, so a title before the author is
  // found for the content only.
  info = Scan("<< /Title (Outline) >> << /Author (Ann Lee) /Title (Doc) >>");
  EXPECT_EQ(info.author, "Ann Lee");
  EXPECT_EQ(info.title, "Doc");
  EXPECT_EQ(info.content, "\r\nOutline\r\nDoc");
  info = Scan("<< /Title (Doc) /Author (Ann) >>");
  EXPECT_EQ(info.title, "");
  EXPECT_EQ(info.content, "\r\nDoc");

  // The title search starts at the author's "(", so it can find a "/Title" inside that value.
  info = Scan("/Author (Ann /Title ) /Producer (P)");
  EXPECT_EQ(info.author, "Ann /Title ");
  EXPECT_EQ(info.title, "P");
  EXPECT_EQ(info.content, "\r\nP");

  // Searches are exact-case; a value may be empty.
  info = Scan("/title (no) /AUTHOR (no) /Title ()");
  EXPECT_EQ(info.author, "");
  EXPECT_EQ(info.content, "\r\n");
}

TEST(PdfTest, HeaderScanValuesEndAtTheFirstClosingBracket) {
  // An escaped pair of brackets: the value stops at the escaped ")", keeping its backslash;
  // in the content the escaped "(" loses its backslash. Title and author stay as found.
  PdfInfo info = Scan("/Title (Chapter \\(two\\)) /Title (x\\) y)");
  EXPECT_EQ(info.title, "Chapter \\(two\\");
  EXPECT_EQ(info.content, "\r\nChapter (two\\\r\nx\\");
  // Hexadecimal strings get no special treatment: the value is whatever brackets follow.
  info = Scan("/Title <FEFF0041> /Subject (S)");
  EXPECT_EQ(info.title, "S");
}

TEST(PdfTest, HeaderScanDecodesValuesByTheProgramRule) {
  PdfInfo info = Scan(base::Utf8ToCp1251("/Author (Иван) /Title (Отчёт)"));
  EXPECT_EQ(info.author, "Иван");
  EXPECT_EQ(info.title, "Отчёт");
  EXPECT_EQ(Scan("/Title (Привет)").title, "Привет");  // UTF-8 stays UTF-8
}

TEST(PdfTest, HeaderScanFailures) {
  EXPECT_FALSE(ScanPdfHeader(""));
  EXPECT_FALSE(ScanPdfHeader("/Title (not a pdf)"));
  EXPECT_FALSE(ScanPdfHeader("%PDF-1.4 /Title no bracket"));
  EXPECT_FALSE(ScanPdfHeader("%PDF-1.4 /Title (never closed"));
  EXPECT_FALSE(ScanPdfHeader("%PDF-1.4 /Author (A) /Title (ok) /Title (open"));
  EXPECT_FALSE(ScanPdfHeader("%PDF-1.4 /Author"));
  // The signature may follow a few bytes of junk, as readers accept.
  EXPECT_TRUE(ScanPdfHeader("\r\n\xEF\xBB\xBF%PDF-1.3 nothing else"));
}

TEST(PdfTest, HeaderScanOfARealFile) {
  FileInfo info = GetPdfHeaderInfo(test::FixturePath("office/outline.pdf"));
  EXPECT_EQ(info.type, "pdf");
  // The outline entries come before the information dictionary in this file, so only
  // the content lists the document title.
  EXPECT_EQ(info.author, "John Smith");
  EXPECT_EQ(info.title, "");
  EXPECT_EQ(info.content, "\r\nChapter one\r\nChapter (two\\\r\nAnnual report");
  test::TempDir dir;
  EXPECT_EQ(GetPdfHeaderInfo(dir.write("empty.pdf", "")).type, "error");
  EXPECT_EQ(GetPdfHeaderInfo(dir.file("missing.pdf")).type, "error");
}

TEST(PdfTest, FullTextOfEveryPageWithInformation) {
  FileInfo info = GetPdfTextInfo(test::FixturePath("office/outline.pdf"));
  EXPECT_EQ(info.type, "pdf");
  EXPECT_EQ(info.content, "First page text.\r\nSecond page text.\r\n");
  EXPECT_EQ(info.author, "John Smith");
  EXPECT_EQ(info.title, "Annual report");
  info = GetPdfTextInfo(test::FixturePath("office/sample.pdf"));
  EXPECT_EQ(info.content, "Quarterly report. Квартальный отчёт.\r\nSecond line.\r\n");
  EXPECT_EQ(info.author, "Иван Петров");
  EXPECT_EQ(info.title, "Отчёт о работе");
}

TEST(PdfTest, FullTextFailsForPasswordsAndDamage) {
  EXPECT_EQ(GetPdfTextInfo(test::FixturePath("office/protected.pdf")).type, "error");
  // Encrypted with an owner password only: anyone may open it, so it is read.
  FileInfo info = GetPdfTextInfo(test::FixturePath("office/owner-only.pdf"));
  EXPECT_EQ(info.type, "pdf");
  EXPECT_EQ(info.title, "Annual report");
  test::TempDir dir;
  const std::string pdf = test::ReadFile(test::FixturePath("office/sample.pdf"));
  ASSERT_FALSE(pdf.empty());
  EXPECT_EQ(GetPdfTextInfo(dir.write("cut.pdf", pdf.substr(0, pdf.size() - 100))).type, "error");
  EXPECT_EQ(GetPdfTextInfo(dir.write("half.pdf", pdf.substr(0, pdf.size() / 2))).type, "error");
  EXPECT_EQ(GetPdfTextInfo(dir.write("empty.pdf", "")).type, "error");
  EXPECT_EQ(GetPdfTextInfo(dir.write("noise.pdf", "%PDF-1.4\ngarbage\n%%EOF\n")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
