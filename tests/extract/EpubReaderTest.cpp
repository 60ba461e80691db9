#include "extract/books/EpubReader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "extract/TextLimit.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::extract {
namespace {

using Members = std::vector<std::pair<std::string, std::string>>;

const std::string kContainer =
    "<?xml version=\"1.0\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    " <rootfiles><rootfile full-path=\"OEBPS/content.opf\" "
    "media-type=\"application/oebps-package+xml\"/></rootfiles>\n"
    "</container>\n";

// A package whose spine order differs from its manifest order, with a chapter in a subfolder
// named with an escaped blank.
std::string Package(const std::string& extraSpine = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">\n"
         " <metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
         "  <dc:title>Мастер и\n  Маргарита</dc:title>\n"
         "  <dc:title>Subtitle that is not the title</dc:title>\n"
         "  <dc:creator>Михаил Булгаков</dc:creator>\n"
         "  <dc:creator>Second Author</dc:creator>\n"
         "  <dc:language>ru</dc:language>\n"
         " </metadata>\n"
         " <manifest>\n"
         "  <item id=\"c2\" href=\"text/chapter%202.xhtml\" "
         "media-type=\"application/xhtml+xml\"/>\n"
         "  <item id=\"c1\" href=\"text/ch1.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
         "  <item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n"
         "  <item id=\"pic\" href=\"cover.png\" media-type=\"image/png\"/>\n"
         "  <item id=\"gone\" href=\"text/gone.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
         " </manifest>\n"
         " <spine><itemref idref=\"c1\"/>" +
         extraSpine + "<itemref idref=\"c2\"/></spine>\n</package>\n";
}

const std::string kChapter1 =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
    "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Head title</title>\n"
    "<style>p { color: red }</style></head>\n"
    "<body><h1>Глава первая</h1>\n"
    "<p>Никогда не разговаривайте<br/>с&nbsp;неизвестными.</p>\n"
    "<script>var hidden = 1;</script>\n"
    "<div><p>Однажды <em>весною</em>…</p></div></body></html>\n";

// Not well-formed: an unclosed paragraph and an HTML entity without a document type.
const std::string kChapter2 =
    "<html><head><title>Two</title></head><body><p>Глава вторая<p>Конец &mdash; всё.</body>"
    "</html>";

Members Book(const std::string& package = Package()) {
  return {{"mimetype", "application/epub+zip"},
          {"META-INF/container.xml", kContainer},
          {"OEBPS/content.opf", package},
          {"OEBPS/text/ch1.xhtml", kChapter1},
          {"OEBPS/text/chapter 2.xhtml", kChapter2},
          {"OEBPS/style.css", "p {}"}};
}

TEST(EpubReaderTest, ChaptersInSpineOrderWithTitleAndAuthors) {
  test::TempDir dir;
  Members book =
      Book(Package("<itemref idref=\"missing\"/><itemref idref=\"gone\"/>"
                   "<itemref idref=\"pic\"/>"));
  book.emplace_back("OEBPS/cover.png", std::string("\x89PNG\r\n\x1a\n<p>bytes</p>", 19));
  test::WriteZip(dir.file("book.epub"), book);
  const FileInfo info = GetEpubInfo(dir.file("book.epub"));
  EXPECT_EQ(info.type, "epub");
  EXPECT_EQ(info.title, "Мастер и Маргарита");
  EXPECT_EQ(info.author, "Михаил Булгаков, Second Author");
  // Spine items the manifest or the zip lacks, and pictures, are passed over; the malformed
  // chapter is read as HTML.
  EXPECT_EQ(info.content,
            "Глава первая\n"
            "Никогда не разговаривайте\n"
            "с неизвестными.\n"
            "Однажды весною…\n"
            "Глава вторая Конец — всё.");
  EXPECT_FALSE(info.textCut);
}

TEST(EpubReaderTest, EncryptedBooksNeedAPasswordButObfuscatedFontsDoNot) {
  test::TempDir dir;
  const auto encryption = [](const std::string& algorithm, const std::string& uri) {
    return "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
           "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData>"
           "<enc:EncryptionMethod Algorithm=\"" +
           algorithm + "\"/><enc:CipherData><enc:CipherReference URI=\"" + uri +
           "\"/></enc:CipherData></enc:EncryptedData></encryption>";
  };
  Members drm = Book();
  drm.emplace_back(
      "META-INF/encryption.xml",
      encryption("http://www.w3.org/2001/04/xmlenc#aes128-cbc", "OEBPS/text/ch1.xhtml"));
  test::WriteZip(dir.file("drm.epub"), drm);
  const FileInfo locked = GetEpubInfo(dir.file("drm.epub"));
  EXPECT_TRUE(locked.failed());
  EXPECT_TRUE(locked.passwordRequired);

  Members fonts = Book();
  fonts.emplace_back("META-INF/encryption.xml",
                     encryption("http://www.idpf.org/2008/embedding", "OEBPS/font.otf"));
  test::WriteZip(dir.file("fonts.epub"), fonts);
  EXPECT_EQ(GetEpubInfo(dir.file("fonts.epub")).title, "Мастер и Маргарита");

  test::WriteZip(dir.file("zipcrypt.epub"), Book(), "secret");
  EXPECT_TRUE(GetEpubInfo(dir.file("zipcrypt.epub")).passwordRequired);
}

TEST(EpubReaderTest, DamagedAndHostilePackagesAreErrors) {
  test::TempDir dir;
  EXPECT_TRUE(GetEpubInfo(dir.file("missing.epub")).failed());
  EXPECT_TRUE(GetEpubInfo(dir.write("text.epub", "not a zip")).failed());
  const auto failed = [&](const std::string& name, Members members) {
    test::WriteZip(dir.file(name), members);
    const FileInfo info = GetEpubInfo(dir.file(name));
    return info.failed() && !info.passwordRequired;
  };
  Members noContainer = Book();
  noContainer.erase(noContainer.begin() + 1);
  EXPECT_TRUE(failed("nocontainer.epub", noContainer));
  Members noPackage = Book();
  noPackage.erase(noPackage.begin() + 2);
  EXPECT_TRUE(failed("nopackage.epub", noPackage));
  // Every spine item missing: nothing of the book can be read.
  Members noChapters = Book();
  noChapters.resize(3);
  EXPECT_TRUE(failed("nochapters.epub", noChapters));
  // A package document that declares entities is refused, however small its text.
  std::string laughs = Package();
  laughs.insert(laughs.find("<package"),
                "<!DOCTYPE package [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n");
  laughs.replace(laughs.find("Second Author"), 13, "&b;");
  EXPECT_TRUE(failed("laughs.epub", Book(laughs)));
  // A truncated package document, and a zip cut off before its directory.
  EXPECT_TRUE(failed("cutopf.epub", Book(Package().substr(0, 300))));
  test::WriteZip(dir.file("whole.epub"), Book());
  const std::string zip = test::ReadFile(dir.file("whole.epub"));
  EXPECT_TRUE(GetEpubInfo(dir.write("cut.epub", zip.substr(0, zip.size() / 2))).failed());
}

TEST(EpubReaderTest, LongBooksAreCutToTheBound) {
  test::TempDir dir;
  std::string chapter = "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>";
  for (int i = 0; i < 500; ++i) chapter += "<p>Строка " + std::to_string(i) + "</p>";
  chapter += "</body></html>";
  Members book = Book();
  book[3].second = chapter;
  test::WriteZip(dir.file("long.epub"), book);
  const TextLimitScope limit(1000);
  const FileInfo info = GetEpubInfo(dir.file("long.epub"));
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 1000u);
  EXPECT_EQ(info.content.find("Строка 0\nСтрока 1\n"), 0u);
}

}  // namespace
}  // namespace zyl::extract
