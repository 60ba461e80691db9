#include <gtest/gtest.h>
#include <wv.h>

#include "extract/office/OfficeReaders.h"
#include "extract/office/WordReader.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

std::string Fixture(const std::string& name) {
  return test::ReadFile(test::FixturePath("office/" + name));
}

// The main story of sample.doc: the header, the footnote's text and the hyperlink's field
// instruction are not part of it; table cells end with a TAB and rows with a line break.
const char kDocumentText[] =
    "Quarterly report. Квартальный отчёт.\r\n"
    "Second paragraph\twith a tab.\r\n"
    "See the site here.\r\n"
    "Cell one\tCell two\t\r\n"
    "Ячейка три\tCell four\t\r\n"
    "End.\r\n";

TEST(WordTest, WordDocumentsGiveTheMainTextAndTheSummaryProperties) {
  for (const std::string name : {"sample.doc", "sample.dot"}) {
    FileInfo info = GetWordInfo(test::FixturePath("office/" + name));
    EXPECT_EQ(info.type, name.substr(7)) << name;
    EXPECT_EQ(info.content, kDocumentText) << name;
    EXPECT_EQ(info.author, "Иван Петров") << name;
    EXPECT_EQ(info.title, "Отчёт о работе") << name;
  }
  // The stored type is the extension's letters in lower case.
  test::TempDir dir;
  EXPECT_EQ(GetWordInfo(dir.write("REPORT.DOC", Fixture("sample.doc"))).type, "doc");
}

TEST(WordTest, EncryptedAndDamagedWordDocumentsAreErrors) {
  const FileInfo locked = GetWordInfo(test::FixturePath("office/protected.doc"));
  EXPECT_EQ(locked.type, "error");
  EXPECT_TRUE(locked.passwordRequired);
  test::TempDir dir;
  const std::string doc = Fixture("sample.doc");
  ASSERT_FALSE(doc.empty());
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{100}, std::size_t{512}, doc.size() / 2, doc.size() - 1000}) {
    const FileInfo cut = GetWordInfo(dir.write("cut.doc", doc.substr(0, size)));
    EXPECT_EQ(cut.type, "error") << size;
    EXPECT_FALSE(cut.passwordRequired) << size;  // damaged, not locked
  }
  // An OLE2 file without a WordDocument stream (a workbook) is not a Word document, and is
  // not logged as locked either.
  const FileInfo book = GetWordInfo(dir.write("book.doc", Fixture("sample.xls")));
  EXPECT_EQ(book.type, "error");
  EXPECT_FALSE(book.passwordRequired);
  EXPECT_FALSE(GetWordInfo(dir.write("noise.doc", std::string(4096, '\x5A'))).passwordRequired);
  EXPECT_EQ(GetWordInfo(dir.file("missing.doc")).type, "error");
}

TEST(WordTest, Word6And95TextTakesTheCodePageOfTheDocumentLanguage) {
  constexpr std::uint16_t kRussian = 0x0419, kEnglish = 0x0409, kUkrainian = 0x0422;
  constexpr std::uint16_t kWord6 = 101, kWord95 = 104, kWord97 = 193;
  // A Russian Word 6 or 95 marks its runs English, its document Russian: Windows-1251.
  EXPECT_EQ(EightBitTextLanguage(kWord6, kRussian, kEnglish), kRussian);
  EXPECT_EQ(EightBitTextLanguage(kWord95, kRussian, kEnglish), kRussian);
  EXPECT_EQ(wvHandleCodePage(0xCF, EightBitTextLanguage(kWord6, kRussian, kEnglish)), 0x041F);
  // A run marked with a language of its own keeps it; Western documents keep their runs'.
  EXPECT_EQ(EightBitTextLanguage(kWord6, kRussian, kUkrainian), kUkrainian);
  EXPECT_EQ(EightBitTextLanguage(kWord6, kEnglish, kRussian), kRussian);
  EXPECT_EQ(wvHandleCodePage(0xE9, EightBitTextLanguage(kWord6, kEnglish, kEnglish)), 0x00E9);
  // Word 97 and later, and documents without a language, map by the run.
  EXPECT_EQ(EightBitTextLanguage(kWord97, kRussian, kEnglish), kEnglish);
  EXPECT_EQ(EightBitTextLanguage(kWord6, 0, kEnglish), kEnglish);
}

TEST(WordTest, WriteWorksAndWordPerfectDocuments) {
  struct Case {
    const char* name;
    const char* text;
  };
  for (const Case& c : {Case{"sample.wri", "Hello Write. Привет, мир.\r\nSecond line\r\n"},
                        Case{"sample.wps", "Hello Works. Привет, мир.\r\nSecond line\r\n"},
                        Case{"sample.wpd", "Hello WordPerfect. Привет, мир.\r\nSecond line\r\n"}}) {
    const std::string name = c.name;
    FileInfo info = GetWordInfo(test::FixturePath("office/" + name));
    EXPECT_EQ(info.type, name.substr(7)) << name;
    EXPECT_EQ(info.content, c.text) << name;
    // None of these formats records an author or a title.
    EXPECT_EQ(info.author, "") << name;
    EXPECT_EQ(info.title, "") << name;
  }
  // Write files were also saved under ".doc"; they are read by what they hold.
  test::TempDir dir;
  FileInfo info = GetWordInfo(dir.write("old.doc", Fixture("sample.wri")));
  EXPECT_EQ(info.type, "doc");
  EXPECT_EQ(info.content, "Hello Write. Привет, мир.\r\nSecond line\r\n");
}

TEST(WordTest, DamagedOrForeignWriteAndWorksFilesAreErrors) {
  test::TempDir dir;
  for (const std::string name : {"sample.wri", "sample.wps"}) {
    const std::string bytes = Fixture(name);
    const std::string ext = name.substr(7);
    EXPECT_EQ(GetWordInfo(dir.write("half." + ext, bytes.substr(0, bytes.size() / 2))).type,
              "error")
        << name;
    EXPECT_EQ(GetWordInfo(dir.write("cut." + ext, bytes.substr(0, bytes.size() - 3))).type, "error")
        << name;
  }
  // Spreadsheets are not word-processor documents, whatever their name.
  EXPECT_EQ(GetWordInfo(dir.write("sheet.wps", Fixture("sample.wk1"))).type, "error");
  EXPECT_EQ(GetWordInfo(dir.write("sheet.wpd", Fixture("sample.wk1"))).type, "error");
  EXPECT_EQ(GetWordInfo(dir.write("text.wpd", "Just some text.\n")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
