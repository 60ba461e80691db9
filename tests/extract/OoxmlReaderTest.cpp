#include "extract/office/OoxmlReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "extract/GetFileInfo.h"
#include "extract/TextLimit.h"
#include "extract/office/OoxmlPackage.h"
#include "support/OleWriter.h"
#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::extract {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Members = std::vector<std::pair<std::string, std::string>>;

const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const std::string kS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kP = "http://schemas.openxmlformats.org/presentationml/2006/main";
const std::string kA = "http://schemas.openxmlformats.org/drawingml/2006/main";

std::string Rels(const std::vector<std::tuple<std::string, std::string, std::string>>& rels) {
  std::string out =
      "<?xml version=\"1.0\"?><Relationships "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const auto& [id, type, target] : rels)
    out += "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
  return out + "</Relationships>";
}

std::string ContentTypes(const std::string& mainPart, const std::string& mainType) {
  return "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/" +
         mainPart + "\" ContentType=\"" + mainType + "\"/></Types>";
}

std::string Core(const std::string& title, const std::string& creator) {
  return "<?xml version=\"1.0\"?><cp:coreProperties "
         "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>" +
         creator + "</dc:creator><dc:title>" + title + "</dc:title></cp:coreProperties>";
}

// A package whose main part is `mainPart` of content type `mainType`, with core properties.
Members Package(const std::string& mainPart, const std::string& mainType,
                const std::string& mainXml) {
  return {{"[Content_Types].xml", ContentTypes(mainPart, mainType)},
          {"_rels/.rels",
           Rels({{"rId1", kRel + "/officeDocument", mainPart},
                 {"rId2",
                  "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                  "core-properties",
                  "docProps/core.xml"}})},
          {"docProps/core.xml", Core("Отчёт за год", "Иван Петров")},
          {mainPart, mainXml}};
}

const std::string kDocxType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

std::string WordDocument(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document xmlns:w=\"" +
         kW +
         "\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>" +
         body + "</w:body></w:document>";
}

TEST(OoxmlReaderTest, WordParagraphsInOrderWithTabsAndBreaks) {
  test::TempDir dir;
  Members files = Package(
      "word/document.xml", kDocxType,
      WordDocument(
          "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
          "<w:r><w:t>Первый</w:t></w:r><w:r><w:tab/><w:t xml:space=\"preserve\">абзац </w:t>"
          "</w:r><w:r><w:t>целиком</w:t></w:r></w:p>"
          "<w:p><w:r><w:t>line one</w:t><w:br/><w:t>line two</w:t></w:r></w:p>"
          "<w:p/>"
          "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
          "<w:p><w:r><w:t>non</w:t><w:noBreakHyphen/><w:t>stop</w:t>"
          "<w:delText>deleted</w:delText><w:instrText>PAGE</w:instrText></w:r>"
          "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:t>box</w:t></mc:Choice>"
          "<mc:Fallback><w:t>box again</w:t></mc:Fallback></mc:AlternateContent></w:r></w:p>"));
  files.emplace_back("word/_rels/document.xml.rels",
                     Rels({{"rId9", kRel + "/footnotes", "footnotes.xml"}}));
  files.emplace_back("word/footnotes.xml", "<w:footnotes xmlns:w=\"" + kW +
                                               "\"><w:footnote><w:p><w:r><w:t>Сноска</w:t>"
                                               "</w:r></w:p></w:footnote></w:footnotes>");
  test::WriteZip(dir.file("a.docx"), files);

  const FileInfo info = GetOoxmlInfo(dir.file("a.docx"));
  EXPECT_EQ(info.type, "docx");
  EXPECT_EQ(info.content,
            "Первый\tабзац целиком\r\nline one\r\nline two\r\n\r\ncell\r\nnon-stopbox\r\n"
            "Сноска\r\n");
  EXPECT_EQ(info.title, "Отчёт за год");
  EXPECT_EQ(info.author, "Иван Петров");
  EXPECT_FALSE(info.textCut);
}

TEST(OoxmlReaderTest, FindsTheMainPartThroughRelationshipsAndStrictNames) {
  test::TempDir dir;
  // Macro-enabled type, main part with an unusual name, strict-form namespace, no core part.
  Members files =
      Package("word/main doc.xml", "application/vnd.ms-word.document.macroEnabled.main+xml",
              "<w:document xmlns:w=\"http://purl.oclc.org/ooxml/wordprocessingml/main\">"
              "<w:body><w:p><w:r><w:t>strict</w:t></w:r></w:p></w:body></w:document>");
  files[1].second =
      Rels({{"rId1", "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument",
             "/word/main%20doc.xml"}});
  files.erase(files.begin() + 2);  // docProps/core.xml
  test::WriteZip(dir.file("m.docm"), files);
  const FileInfo info = GetOoxmlInfo(dir.file("m.docm"));
  EXPECT_EQ(info.type, "docx");
  EXPECT_EQ(info.content, "strict\r\n");
  EXPECT_EQ(info.title, "");

  EXPECT_EQ(ResolvePartName("ppt/slides/slide1.xml", "../media/a.png"), "ppt/media/a.png");
  EXPECT_EQ(ResolvePartName("xl/workbook.xml", "/xl/./sheet.xml"), "xl/sheet.xml");
  EXPECT_EQ(ResolvePartName("", "word/document.xml#frag"), "word/document.xml");
  EXPECT_EQ(ResolvePartName("a/b.xml", "../../../etc/passwd"), "");
}

std::string Sheet(const std::string& rows) {
  return "<worksheet xmlns=\"" + kS + "\" xmlns:r=\"" + kRel + "\"><sheetData>" + rows +
         "</sheetData></worksheet>";
}

Members Workbook(const std::vector<std::pair<std::string, std::string>>& sheetsInOrder,
                 const std::string& sharedStrings) {
  std::string list, rels;
  std::vector<std::tuple<std::string, std::string, std::string>> relList;
  Members parts;
  for (std::size_t i = 0; i < sheetsInOrder.size(); ++i) {
    const std::string id = "rId" + std::to_string(i + 10);
    list += "<sheet name=\"S" + std::to_string(i) + "\" sheetId=\"" + std::to_string(i + 1) +
            "\" r:id=\"" + id + "\"/>";
    relList.emplace_back(id, kRel + "/worksheet", "worksheets/" + sheetsInOrder[i].first);
    parts.emplace_back("xl/worksheets/" + sheetsInOrder[i].first, sheetsInOrder[i].second);
  }
  relList.emplace_back("rId1", kRel + "/sharedStrings", "sharedStrings.xml");
  Members files =
      Package("xl/workbook.xml",
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
              "<workbook xmlns=\"" + kS + "\" xmlns:r=\"" + kRel + "\"><sheets>" + list +
                  "</sheets></workbook>");
  files.emplace_back("xl/_rels/workbook.xml.rels", Rels(relList));
  files.emplace_back("xl/sharedStrings.xml",
                     "<sst xmlns=\"" + kS + "\">" + sharedStrings + "</sst>");
  files.insert(files.end(), parts.begin(), parts.end());
  return files;
}

TEST(OoxmlReaderTest, WorkbookSheetsInWorkbookOrderWithEveryKindOfCell) {
  test::TempDir dir;
  const std::string shared =
      "<si><t>Имя</t></si>"
      "<si><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r>"
      "<rPh><t>ふりがな</t></rPh></si>"
      "<si><t>tab\there</t></si>";
  // sheet2.xml is the workbook's first sheet.
  test::WriteZip(
      dir.file("b.xlsx"),
      Workbook(
          {{"sheet2.xml", Sheet("<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c>"
                                "<c r=\"C2\" t=\"s\"><v>1</v></c></row>"
                                "<row r=\"3\"><c r=\"D3\"><v>0.1</v></c></row>")},
           {"sheet1.xml", Sheet("<row><c t=\"inlineStr\"><is><t>inline</t></is></c>"
                                "<c t=\"b\"><v>1</v></c><c><f>1/3</f><v>0.33333333333333331</v></c>"
                                "<c t=\"s\"><v>2</v></c><c t=\"s\"><v>99</v></c>"
                                "<c t=\"e\"><v>#DIV/0!</v></c></row>")},
           {"empty.xml", Sheet("")}},
          shared));
  const FileInfo info = GetOoxmlInfo(dir.file("b.xlsx"));
  EXPECT_EQ(info.type, "xlsx");
  EXPECT_EQ(info.content,
            " Имя\trich text\t\r\n\t\t0.1\r\n"
            " inline\tTRUE\t0.33333333333333331\t\"tab\there\"\t\t#DIV/0!\r\n");
  EXPECT_EQ(info.title, "Отчёт за год");
}

TEST(OoxmlReaderTest, FarApartCellsStayWithinTheTextBound) {
  test::TempDir dir;
  test::WriteZip(
      dir.file("far.xlsx"),
      Workbook({{"sheet1.xml", Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                                     "<row r=\"1048576\"><c r=\"XFD1048576\" t=\"s\">"
                                     "<v>0</v></c></row>")}},
               "<si><t>corner</t></si>"));
  const TextLimitScope limit(1 << 20);
  const FileInfo info = GetOoxmlInfo(dir.file("far.xlsx"));
  EXPECT_EQ(info.type, "xlsx");
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 1u << 20);
  EXPECT_THAT(info.content, HasSubstr("corner"));
}

TEST(OoxmlReaderTest, AHugeStringTableIsKeptOnlyInPart) {
  test::TempDir dir;
  std::string table = "<si><t>first</t></si>";
  const std::string filler = "<si><t>" + std::string(1000, 'f') + "</t></si>";
  for (int i = 0; i < 10 * 1024; ++i) table += filler;
  table += "<si><t>last</t></si>";
  test::WriteZip(dir.file("strings.xlsx"),
                 Workbook({{"sheet1.xml", Sheet("<row><c t=\"s\"><v>0</v></c>"
                                                "<c t=\"s\"><v>10241</v></c></row>")}},
                          table));
  // The table's bound is then its floor, 8 MiB: the last string is past it.
  const TextLimitScope limit(64 << 10);
  const FileInfo info = GetOoxmlInfo(dir.file("strings.xlsx"));
  EXPECT_EQ(info.type, "xlsx");
  EXPECT_EQ(info.content, " first\r\n");
  EXPECT_TRUE(info.textCut);
}

TEST(OoxmlReaderTest, SlidesInPresentationOrder) {
  test::TempDir dir;
  const auto slide = [](const std::string& text) {
    return "<p:sld xmlns:p=\"" + kP + "\" xmlns:a=\"" + kA +
           "\"><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>" + text +
           "</a:t></a:r><a:br/><a:r><a:t>more</a:t></a:r></a:p></p:txBody></p:sp>"
           "</p:spTree></p:cSld></p:sld>";
  };
  Members files =
      Package("ppt/presentation.xml",
              "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml",
              "<p:presentation xmlns:p=\"" + kP + "\" xmlns:r=\"" + kRel +
                  "\"><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId3\"/><p:sldId id=\"257\" "
                  "r:id=\"rId2\"/></p:sldIdLst></p:presentation>");
  files.emplace_back("ppt/_rels/presentation.xml.rels",
                     Rels({{"rId2", kRel + "/slide", "slides/slide1.xml"},
                           {"rId3", kRel + "/slide", "slides/slide2.xml"},
                           {"rId4", kRel + "/slideMaster", "slideMasters/slideMaster1.xml"}}));
  files.emplace_back("ppt/slides/slide1.xml", slide("Второй слайд"));
  files.emplace_back("ppt/slides/slide2.xml", slide("Первый слайд"));
  files.emplace_back("ppt/slideMasters/slideMaster1.xml", slide("master"));
  test::WriteZip(dir.file("c.pptx"), files);
  const FileInfo info = GetOoxmlInfo(dir.file("c.pptx"));
  EXPECT_EQ(info.type, "pptx");
  EXPECT_EQ(info.content, "Первый слайд\r\nmore\r\nВторой слайд\r\nmore\r\n");
}

TEST(OoxmlReaderTest, PasswordProtectedFilesNeedAPassword) {
  test::TempDir dir;
  const FileInfo encrypted =
      GetOoxmlInfo(test::WriteOleStream(dir.file("e.docx"), "EncryptedPackage", "bytes"));
  EXPECT_TRUE(encrypted.failed());
  EXPECT_TRUE(encrypted.passwordRequired);
  // An old binary document under the new extension is no password case.
  const FileInfo binary =
      GetOoxmlInfo(test::WriteOleStream(dir.file("w.docx"), "WordDocument", "bytes"));
  EXPECT_TRUE(binary.failed());
  EXPECT_FALSE(binary.passwordRequired);
  // Zip-level encryption of the parts.
  test::WriteZip(dir.file("z.docx"),
                 Package("word/document.xml", kDocxType, WordDocument("<w:p/>")), "secret");
  const FileInfo zipped = GetOoxmlInfo(dir.file("z.docx"));
  EXPECT_TRUE(zipped.failed());
  EXPECT_TRUE(zipped.passwordRequired);
}

TEST(OoxmlReaderTest, DamagedAndHostilePackagesAreErrors) {
  test::TempDir dir;
  const Members good =
      Package("word/document.xml", kDocxType,
              WordDocument("<w:p><w:r><w:t>" + std::string(4000, 'x') + "</w:t></w:r></w:p>"));
  test::WriteZip(dir.file("good.docx"), good);
  const std::string bytes = test::ReadFile(dir.file("good.docx"));
  ASSERT_EQ(GetOoxmlInfo(dir.file("good.docx")).type, "docx");

  const std::string truncated = dir.write("cut.docx", bytes.substr(0, bytes.size() * 2 / 3));
  EXPECT_TRUE(GetOoxmlInfo(truncated).failed());
  EXPECT_FALSE(GetOoxmlInfo(truncated).passwordRequired);
  EXPECT_TRUE(GetOoxmlInfo(dir.write("text.docx", "just text")).failed());
  EXPECT_TRUE(GetOoxmlInfo(dir.file("missing.docx")).failed());

  // A zip that is no office package, and one whose main part is not XML.
  test::WriteZip(dir.file("other.docx"), {{"readme.txt", "hello"}});
  EXPECT_TRUE(GetOoxmlInfo(dir.file("other.docx")).failed());
  test::WriteZip(dir.file("broken.docx"),
                 Package("word/document.xml", kDocxType, "<w:document><w:p>"));
  EXPECT_TRUE(GetOoxmlInfo(dir.file("broken.docx")).failed());

  // Entity expansion in the main part.
  const std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE w:document [<!ENTITY a \"aaaaaaaaaa\">"
      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><w:document xmlns:w=\"" +
      kW + "\"><w:body><w:p><w:r><w:t>&b;</w:t></w:r></w:p></w:body></w:document>";
  test::WriteZip(dir.file("laughs.docx"), Package("word/document.xml", kDocxType, laughs));
  EXPECT_TRUE(GetOoxmlInfo(dir.file("laughs.docx")).failed());

  // A bomb: a few kilobytes that unpack past the bound, with no text to stop at.
  const TextLimitScope limit(64 << 10);  // the package bound is then its floor, 16 MiB
  test::WriteZip(dir.file("bomb.docx"),
                 Package("word/document.xml", kDocxType,
                         WordDocument("<!--" + std::string(17 << 20, ' ') + "-->")));
  EXPECT_LT(test::ReadFile(dir.file("bomb.docx")).size(), 100u << 10);
  EXPECT_TRUE(GetOoxmlInfo(dir.file("bomb.docx")).failed());
}

TEST(OoxmlReaderTest, LongDocumentsAreCutAtTheTextBound) {
  test::TempDir dir;
  std::string body;
  for (int i = 0; i < 2000; ++i)
    body += "<w:p><w:r><w:t>Строка номер " + std::to_string(i) + "</w:t></w:r></w:p>";
  test::WriteZip(dir.file("long.docx"),
                 Package("word/document.xml", kDocxType, WordDocument(body)));
  const TextLimitScope limit(1001);
  const FileInfo info = GetOoxmlInfo(dir.file("long.docx"));
  EXPECT_TRUE(info.textCut);
  EXPECT_LE(info.content.size(), 1001u);
  EXPECT_GE(info.content.size(), 990u);
  EXPECT_THAT(info.content, HasSubstr("Строка номер 0\r\n"));
  EXPECT_THAT(info.content, Not(HasSubstr("номер 1999")));
}

TEST(OoxmlReaderTest, EveryExtensionOfTheFamilyIsReadThroughGetFileInfo) {
  test::TempDir dir;
  const Members word = Package("word/document.xml", kDocxType,
                               WordDocument("<w:p><w:r><w:t>слово</w:t></w:r></w:p>"));
  const Members book =
      Workbook({{"s.xml", Sheet("<row><c t=\"s\"><v>0</v></c></row>")}}, "<si><t>ячейка</t></si>");
  for (const auto& [name, files, type] :
       {std::tuple{"a.docx", word, "docx"}, std::tuple{"B.DOCM", word, "docx"},
        std::tuple{"c.dotx", word, "docx"}, std::tuple{"d.xlsx", book, "xlsx"},
        std::tuple{"e.xlsm", book, "xlsx"}}) {
    test::WriteZip(dir.file(name), files);
    const FileInfo info = GetFileInfo(dir.file(name));
    EXPECT_EQ(info.type, type) << name;
    EXPECT_EQ(info.location, dir.file(name));
    EXPECT_EQ(info.title, "Отчёт за год") << name;
    EXPECT_GT(info.filesize, 0);
    EXPECT_THAT(info.content, ::testing::AnyOf(HasSubstr("слово"), HasSubstr("ячейка"))) << name;
  }
  // A damaged file of the family is one error, never text read as something else.
  EXPECT_EQ(GetFileInfo(dir.write("bad.pptx", "PK\x03\x04 broken")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
