#include "extract/books/Fb2Reader.h"

#include <gtest/gtest.h>

#include <string>

#include "extract/ExtractTestSupport.h"
#include "extract/TextLimit.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::extract {
namespace {

using testing::Encode;

// A book with what a real one carries around its text: a second title in the source
// description, the file's own author in document-info, a notes body, and an image.
std::string Book(std::string_view encoding = "utf-8") {
  return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) +
         "\"?>\n"
         "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\">\n"
         " <description>\n"
         "  <title-info>\n"
         "   <genre>prose_classic</genre>\n"
         "   <author><first-name>Лев</first-name><middle-name>Николаевич</middle-name>\n"
         "    <last-name>Толстой</last-name></author>\n"
         "   <author><nickname>Редактор</nickname></author>\n"
         "   <book-title>Война и\n   мир</book-title>\n"
         "   <annotation><p>Не текст книги</p></annotation>\n"
         "  </title-info>\n"
         "  <src-title-info><book-title>War and Peace</book-title></src-title-info>\n"
         "  <document-info><author><nickname>converter</nickname></author></document-info>\n"
         " </description>\n"
         " <body>\n"
         "  <title><p>Том первый</p></title>\n"
         "  <section>\n"
         "   <title><p>Часть I</p></title>\n"
         "   <p>— Eh bien, mon prince. <emphasis>Генуя</emphasis> и Лукка\n"
         "      поместья фамилии Буонапарте.</p>\n"
         "   <empty-line/>\n"
         "   <poem><stanza><v>Строка стиха</v><v>вторая строка</v></stanza></poem>\n"
         "   <p>Сноска<a l:href=\"#n1\" type=\"note\">1</a> здесь.</p>\n"
         "  </section>\n"
         " </body>\n"
         " <body name=\"notes\"><section id=\"n1\"><p>Текст сноски.</p></section></body>\n"
         " <binary id=\"cover.jpg\" content-type=\"image/jpeg\">QklOQVJZREFUQQ==</binary>\n"
         "</FictionBook>\n";
}

const char* const kText =
    "Том первый\n"
    "Часть I\n"
    "— Eh bien, mon prince. Генуя и Лукка поместья фамилии Буонапарте.\n"
    "Строка стиха\n"
    "вторая строка\n"
    "Сноска1 здесь.\n"
    "Текст сноски.";

void ExpectTheBook(const FileInfo& info, std::string_view form = "") {
  SCOPED_TRACE(form);
  EXPECT_EQ(info.type, "fb2");
  EXPECT_EQ(info.content, kText);
  EXPECT_EQ(info.title, "Война и мир");
  EXPECT_EQ(info.author, "Лев Николаевич Толстой, Редактор");
  EXPECT_FALSE(info.textCut);
  EXPECT_FALSE(info.failed());
}

TEST(Fb2ReaderTest, BodiesInOrderWithTitleAndAuthorsInEveryEncoding) {
  test::TempDir dir;
  ExpectTheBook(GetFb2Info(dir.write("utf8.fb2", Book())), "utf8");
  ExpectTheBook(GetFb2Info(dir.write("win.fb2", Encode(Book("windows-1251"), "windows-1251"))),
                "win");
  // KOI8-R has no dash: the book writes a hyphen there.
  std::string koi = Book("KOI8-R");
  koi.replace(koi.find("—"), std::string_view("—").size(), "-");
  const FileInfo fromKoi = GetFb2Info(dir.write("koi.fb2", Encode(koi, "KOI8-R")));
  EXPECT_EQ(fromKoi.title, "Война и мир");
  EXPECT_EQ(fromKoi.author, "Лев Николаевич Толстой, Редактор");
  EXPECT_NE(fromKoi.content.find("- Eh bien, mon prince. Генуя и Лукка"), std::string::npos);
  ExpectTheBook(GetFb2Info(dir.write("utf16.fb2", "\xFF\xFE" + Encode(Book("utf-16"), "UTF-16LE"))),
                "utf16");
  // Declared UTF-8 (or nothing) while the bytes are Windows-1251: read in the detected page.
  ExpectTheBook(GetFb2Info(dir.write("liar.fb2", Encode(Book("utf-8"), "windows-1251"))), "liar");
  // No declaration, and the first Cyrillic letter far into the book.
  std::string undeclared = Book();
  undeclared.erase(0, undeclared.find('\n') + 1);
  undeclared.insert(undeclared.find("<description>"),
                    "<stylesheet type=\"text/css\">" + std::string(100000, ' ') + "</stylesheet>");
  ExpectTheBook(GetFb2Info(dir.write("bare.fb2", Encode(undeclared, "windows-1251"))), "bare");
}

TEST(Fb2ReaderTest, ZippedBooks) {
  test::TempDir dir;
  test::WriteZip(dir.file("a.fb2.zip"), {{"readme.txt", "x"}, {"Tolstoy.FB2", Book()}});
  ExpectTheBook(GetFb2Info(dir.file("a.fb2.zip")));
  // The zip's only member is the book whatever its name; the zip is known by its content.
  test::WriteZip(dir.file("b.fb2"), {{"book", Encode(Book("windows-1251"), "windows-1251")}});
  ExpectTheBook(GetFb2Info(dir.file("b.fb2")));
  test::WriteZip(dir.file("c.fb2.zip"), {{"one.txt", "x"}, {"two.txt", "y"}});
  EXPECT_TRUE(GetFb2Info(dir.file("c.fb2.zip")).failed());
  test::WriteZip(dir.file("locked.fb2.zip"), {{"book.fb2", Book()}}, "secret");
  const FileInfo locked = GetFb2Info(dir.file("locked.fb2.zip"));
  EXPECT_TRUE(locked.failed());
  EXPECT_TRUE(locked.passwordRequired);
}

TEST(Fb2ReaderTest, DamagedAndHostileBooksAreErrors) {
  test::TempDir dir;
  EXPECT_TRUE(GetFb2Info(dir.file("missing.fb2")).failed());
  const std::string book = Book();
  // Cut in the middle of the body, as an interrupted download leaves it.
  const FileInfo truncated = GetFb2Info(dir.write("cut.fb2", book.substr(0, book.size() / 2)));
  EXPECT_TRUE(truncated.failed());
  EXPECT_FALSE(truncated.passwordRequired);
  EXPECT_TRUE(GetFb2Info(dir.write("empty.fb2", "")).failed());
  EXPECT_TRUE(GetFb2Info(dir.write("text.fb2", "just some text, no markup")).failed());
  // Entity expansion: a few lines that would become gigabytes are refused before they grow.
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE FictionBook [\n <!ENTITY a \"aaaaaaaaaa\">\n"
      " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
      " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n"
      "<FictionBook><body><p>&c;</p></body></FictionBook>";
  EXPECT_TRUE(GetFb2Info(dir.write("laughs.fb2", laughs)).failed());
  // Declared Windows-1251 while broken in that page too is damaged, not guessed at.
  std::string broken = Encode(Book("windows-1251"), "windows-1251");
  broken.replace(broken.find("<empty-line/>"), 13, "<empty-line>");
  EXPECT_TRUE(GetFb2Info(dir.write("bad.fb2", broken)).failed());
  // A zip that is cut off is no book either.
  test::WriteZip(dir.file("whole.fb2.zip"), {{"book.fb2", book}});
  const std::string zip = test::ReadFile(dir.file("whole.fb2.zip"));
  EXPECT_TRUE(GetFb2Info(dir.write("cut.fb2.zip", zip.substr(0, zip.size() - 40))).failed());
}

TEST(Fb2ReaderTest, LongBooksAreCutToTheBound) {
  test::TempDir dir;
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "<p>Абзац номер " + std::to_string(i) + "</p>\n";
  const std::string book =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook><description>"
      "<title-info><book-title>Long</book-title></title-info></description>"
      "<body><section>" +
      body + "</section></body></FictionBook>";
  const TextLimitScope limit(1000);
  const FileInfo info = GetFb2Info(dir.write("long.fb2", book));
  EXPECT_FALSE(info.failed());
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 1000u);
  EXPECT_EQ(info.content.find("Абзац номер 0\nАбзац номер 1\n"), 0u);
  EXPECT_EQ(info.title, "Long");
}

}  // namespace
}  // namespace zyl::extract
