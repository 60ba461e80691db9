#include "extract/office/OpenDocumentReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "extract/GetFileInfo.h"
#include "extract/TextLimit.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::extract {
namespace {

using ::testing::HasSubstr;
using Members = std::vector<std::pair<std::string, std::string>>;

const std::string kNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";

std::string Content(const std::string& bodyKind, const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content" + kNamespaces +
         "><office:automatic-styles/><office:body><office:" + bodyKind + ">" + body +
         "</office:" + bodyKind + "></office:body></office:document-content>";
}

std::string Meta(const std::string& inner) {
  return "<office:document-meta" + kNamespaces + "><office:meta>" + inner +
         "</office:meta></office:document-meta>";
}

std::string Manifest(const std::string& inner) {
  return "<manifest:manifest "
         "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
         "<manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\">" +
         inner + "</manifest:file-entry></manifest:manifest>";
}

Members Document(const std::string& mimetype, const std::string& content,
                 const std::string& meta = Meta("")) {
  return {{"mimetype", "application/vnd.oasis.opendocument." + mimetype},
          {"META-INF/manifest.xml", Manifest("")},
          {"content.xml", content},
          {"meta.xml", meta}};
}

TEST(OpenDocumentReaderTest, TextParagraphsWithSpacesTabsAndBreaks) {
  test::TempDir dir;
  test::WriteZip(
      dir.file("a.odt"),
      Document(
          "text",
          Content("text",
                  "<text:sequence-decls/>"
                  "<text:h text:outline-level=\"1\">Глава первая</text:h>"
                  "<text:p>Два<text:s/>пробела и<text:s text:c=\"3\"/>ещё три</text:p>"
                  "<text:p>\n   written\n   over   lines  </text:p>"
                  "<text:p>a <text:tab/>b <text:line-break/>c <text:span> d</text:span></text:p>"
                  "<text:p>Note<text:note><text:note-citation>1</text:note-citation>"
                  "<text:note-body><text:p>body</text:p></text:note-body></text:note>"
                  "<office:annotation><dc:creator>Rev</dc:creator><text:p>comment</text:p>"
                  "</office:annotation> end</text:p>"
                  "<text:tracked-changes><text:changed-region><text:deletion>"
                  "<text:p>removed</text:p></text:deletion></text:changed-region>"
                  "</text:tracked-changes>"
                  "<text:p/>"),
          Meta("<dc:title>Повесть</dc:title><meta:initial-creator>Автор</meta:initial-creator>"
               "<dc:creator>Редактор</dc:creator>")));
  const FileInfo info = GetOpenDocumentInfo(dir.file("a.odt"));
  EXPECT_EQ(info.type, "odt");
  EXPECT_EQ(info.content,
            "Глава первая\r\nДва пробела и   ещё три\r\nwritten over lines\r\n"
            "a \tb\r\nc d\r\nNotebody\r\n end\r\n\r\n");
  EXPECT_EQ(info.title, "Повесть");
  EXPECT_EQ(info.author, "Автор");

  // Without an initial creator the last one who saved it is the author.
  test::WriteZip(dir.file("b.odt"), Document("text", Content("text", "<text:p>x</text:p>"),
                                             Meta("<dc:creator>Редактор</dc:creator>")));
  EXPECT_EQ(GetOpenDocumentInfo(dir.file("b.odt")).author, "Редактор");
}

TEST(OpenDocumentReaderTest, SpreadsheetTablesWithRepeatedCells) {
  test::TempDir dir;
  const std::string sheets =
      "<table:table table:name=\"Первый\">"
      "<table:table-column table:number-columns-repeated=\"3\"/>"
      "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Имя</text:p>"
      "</table:table-cell><table:table-cell table:number-columns-repeated=\"2\" "
      "office:value-type=\"float\" office:value=\"7\"><text:p>7</text:p></table:table-cell>"
      "<table:table-cell table:number-columns-repeated=\"16380\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell/>"
      "<table:covered-table-cell/><table:table-cell><text:p>two</text:p><text:p>lines</text:p>"
      "</table:table-cell></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
      "table:number-columns-repeated=\"1024\"/></table:table-row>"
      "</table:table>"
      "<table:table table:name=\"Empty\"><table:table-row><table:table-cell/></table:table-row>"
      "</table:table>"
      "<table:table table:name=\"Второй\"><table:table-row>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
      "<table:table-cell office:value-type=\"float\" office:value=\"2.5\"/>"
      "</table:table-row></table:table>";
  test::WriteZip(dir.file("s.ods"), Document("spreadsheet", Content("spreadsheet", sheets)));
  const FileInfo info = GetOpenDocumentInfo(dir.file("s.ods"));
  EXPECT_EQ(info.type, "ods");
  EXPECT_EQ(info.content,
            " Имя\t7\t7\r\n\t\t\"two\nlines\"\r\n\t\t\"two\nlines\"\r\n TRUE\t2.5\r\n");
  EXPECT_FALSE(info.textCut);
}

TEST(OpenDocumentReaderTest, HugeRepeatsOfFilledCellsAreBounded) {
  test::TempDir dir;
  const std::string sheet =
      "<table:table><table:table-row table:number-rows-repeated=\"1000000000\">"
      "<table:table-cell table:number-columns-repeated=\"1000000000\"><text:p>x</text:p>"
      "</table:table-cell><table:table-cell><text:p>after</text:p></table:table-cell>"
      "</table:table-row><table:table-row><table:table-cell><text:p>last</text:p>"
      "</table:table-cell></table:table-row></table:table>";
  test::WriteZip(dir.file("big.ods"), Document("spreadsheet", Content("spreadsheet", sheet)));
  const TextLimitScope limit(1 << 20);
  const FileInfo info = GetOpenDocumentInfo(dir.file("big.ods"));
  EXPECT_EQ(info.type, "ods");
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 1u << 20);
  EXPECT_TRUE(info.content.starts_with(" x\tx\tx"));
}

TEST(OpenDocumentReaderTest, PresentationPagesInOrderWithoutSpeakerNotes) {
  test::TempDir dir;
  const auto page = [](const std::string& name, const std::string& text) {
    return "<draw:page draw:name=\"" + name + "\"><draw:frame><draw:text-box><text:p>" + text +
           "</text:p></draw:text-box></draw:frame><presentation:notes><draw:frame>"
           "<draw:text-box><text:p>notes of " +
           text +
           "</text:p></draw:text-box></draw:frame>"
           "</presentation:notes></draw:page>";
  };
  test::WriteZip(dir.file("p.odp"),
                 Document("presentation", Content("presentation", page("b", "Первый слайд") +
                                                                      page("a", "Второй"))));
  const FileInfo info = GetOpenDocumentInfo(dir.file("p.odp"));
  EXPECT_EQ(info.type, "odp");
  EXPECT_EQ(info.content, "Первый слайд\r\nВторой\r\n");
}

TEST(OpenDocumentReaderTest, EncryptedDocumentsNeedAPassword) {
  test::TempDir dir;
  Members files = Document("text", "encrypted bytes, not XML");
  files[1].second = Manifest(
      "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" manifest:checksum=\"x\">"
      "<manifest:algorithm manifest:algorithm-name=\"Blowfish CFB\"/></manifest:encryption-data>");
  test::WriteZip(dir.file("e.odt"), files);
  const FileInfo info = GetOpenDocumentInfo(dir.file("e.odt"));
  EXPECT_TRUE(info.failed());
  EXPECT_TRUE(info.passwordRequired);

  test::WriteZip(dir.file("z.odt"), Document("text", Content("text", "<text:p>x</text:p>")),
                 "secret");
  EXPECT_TRUE(GetOpenDocumentInfo(dir.file("z.odt")).passwordRequired);
}

TEST(OpenDocumentReaderTest, DamagedAndHostileDocumentsAreErrors) {
  test::TempDir dir;
  test::WriteZip(
      dir.file("good.odt"),
      Document("text", Content("text", "<text:p>" + std::string(5000, 'y') + "</text:p>")));
  ASSERT_EQ(GetOpenDocumentInfo(dir.file("good.odt")).type, "odt");
  const std::string bytes = test::ReadFile(dir.file("good.odt"));
  EXPECT_TRUE(
      GetOpenDocumentInfo(dir.write("cut.odt", bytes.substr(0, bytes.size() / 2))).failed());
  EXPECT_TRUE(
      GetOpenDocumentInfo(dir.write("flat.odt", Content("text", "<text:p>x</text:p>"))).failed());

  const std::string laughs = "<!DOCTYPE office:document-content [<!ENTITY a \"aaaa\">]>" +
                             Content("text", "<text:p>&a;</text:p>");
  test::WriteZip(dir.file("laughs.odt"), Document("text", laughs));
  EXPECT_TRUE(GetOpenDocumentInfo(dir.file("laughs.odt")).failed());

  // A drawing is no document of the three kinds; a content part that is not XML fails.
  test::WriteZip(dir.file("d.odt"), Document("graphics", Content("drawing", "<draw:page/>")));
  EXPECT_TRUE(GetOpenDocumentInfo(dir.file("d.odt")).failed());
  test::WriteZip(dir.file("x.odt"), Document("text", "<office:document-content"));
  EXPECT_TRUE(GetOpenDocumentInfo(dir.file("x.odt")).failed());

  // Entities in the metadata lose only the metadata.
  test::WriteZip(dir.file("m.odt"), Document("text", Content("text", "<text:p>kept</text:p>"),
                                             "<!DOCTYPE m [<!ENTITY t \"title\">]>" +
                                                 Meta("<dc:title>&t;</dc:title>")));
  const FileInfo meta = GetOpenDocumentInfo(dir.file("m.odt"));
  EXPECT_EQ(meta.content, "kept\r\n");
  EXPECT_EQ(meta.title, "");

  const TextLimitScope limit(64 << 10);
  test::WriteZip(dir.file("bomb.odt"),
                 Document("text", Content("text", "<!--" + std::string(17 << 20, 'z') + "-->")));
  EXPECT_TRUE(GetOpenDocumentInfo(dir.file("bomb.odt")).failed());
}

TEST(OpenDocumentReaderTest, LongTextIsCutAtTheTextBound) {
  test::TempDir dir;
  std::string body;
  for (int i = 0; i < 3000; ++i) body += "<text:p>Абзац " + std::to_string(i) + "</text:p>";
  // One paragraph longer than the bound on its own, too.
  body += "<text:p>" + std::string(300000, 'w') + "</text:p>";
  test::WriteZip(dir.file("long.odt"), Document("text", Content("text", body)));
  const TextLimitScope limit(50000);
  const FileInfo info = GetOpenDocumentInfo(dir.file("long.odt"));
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 50000u);
  EXPECT_THAT(info.content, HasSubstr("Абзац 0\r\n"));

  test::WriteZip(
      dir.file("one.odt"),
      Document("text", Content("text", "<text:p>" + std::string(300000, 'w') + "</text:p>")));
  const FileInfo one = GetOpenDocumentInfo(dir.file("one.odt"));
  EXPECT_TRUE(one.textCut);
  EXPECT_EQ(one.content, std::string(50000, 'w'));
}

TEST(OpenDocumentReaderTest, EveryKindIsReadThroughGetFileInfo) {
  test::TempDir dir;
  const std::string title = Meta("<dc:title>Т</dc:title>");
  test::WriteZip(dir.file("a.odt"),
                 Document("text", Content("text", "<text:p>текст</text:p>"), title));
  test::WriteZip(dir.file("b.ODS"),
                 Document("spreadsheet",
                          Content("spreadsheet",
                                  "<table:table><table:table-row><table:table-cell>"
                                  "<text:p>ячейка</text:p></table:table-cell>"
                                  "</table:table-row></table:table>"),
                          title));
  test::WriteZip(dir.file("c.odp"), Document("presentation",
                                             Content("presentation",
                                                     "<draw:page><draw:frame><draw:text-box>"
                                                     "<text:p>слайд</text:p></draw:text-box>"
                                                     "</draw:frame></draw:page>"),
                                             title));
  for (const auto& [name, type, text] :
       {std::tuple{"a.odt", "odt", "текст\r\n"}, std::tuple{"b.ODS", "ods", " ячейка\r\n"},
        std::tuple{"c.odp", "odp", "слайд\r\n"}}) {
    const FileInfo info = GetFileInfo(dir.file(name));
    EXPECT_EQ(info.type, type) << name;
    EXPECT_EQ(info.content, text) << name;
    EXPECT_EQ(info.title, "Т") << name;
    EXPECT_EQ(info.location, dir.file(name));
  }
}

}  // namespace
}  // namespace zyl::extract
