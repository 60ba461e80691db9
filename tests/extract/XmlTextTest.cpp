#include "extract/container/XmlText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "extract/ExtractTestSupport.h"

namespace zyl::extract {
namespace {

// Writes what the parser reports in one line of text: <uri:local a=v>, text, </local>, &name;.
class Recorder : public XmlHandler {
 public:
  std::string log;
  int stopAfterElements = -1;
  XmlParser* parser = nullptr;

  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    log += "<" + std::string(name.uri) + ":" + std::string(name.local);
    for (const auto& a : attributes)
      log += " " + std::string(a.name.uri) + ":" + std::string(a.name.local) + "=" +
             std::string(a.value);
    log += ">";
    if (parser != nullptr && --stopAfterElements == 0) parser->Stop();
  }
  void EndElement(const XmlName& name) override { log += "</" + std::string(name.local) + ">"; }
  void Text(std::string_view text) override { log += text; }
  void SkippedEntity(std::string_view name) override { log += "&" + std::string(name) + ";"; }
};

TEST(XmlTextTest, ResolvesNamespacesOfElementsAndAttributes) {
  const std::string doc =
      R"(<?xml version="1.0" encoding="UTF-8"?>)"
      R"(<w:doc xmlns:w="urn:w" xmlns:r="urn:r" xmlns="urn:default" plain="1" r:id="rId7">)"
      R"(<w:t>Привет &amp; мир</w:t><p>x</p></w:doc>)";
  Recorder whole;
  EXPECT_EQ(ParseXml(doc, whole), XmlError::None);
  EXPECT_EQ(whole.log,
            "<urn:w:doc :plain=1 urn:r:id=rId7><urn:w:t>Привет & мир</t><urn:default:p>x</p>"
            "</doc>");

  // Fed byte by byte (pieces split inside characters and tags) it reads the same.
  Recorder pieces;
  XmlParser parser(pieces);
  for (char c : doc) ASSERT_TRUE(parser.Feed(std::string_view(&c, 1)));
  EXPECT_TRUE(parser.Finish());
  EXPECT_EQ(pieces.log, whole.log);

  std::vector<XmlAttribute> attributes{{{"", "plain"}, "1"}, {{"urn:r", "id"}, "rId7"}};
  EXPECT_EQ(FindAttribute(attributes, "urn:r", "id"), "rId7");
  EXPECT_EQ(FindAttribute(attributes, "", "id"), std::nullopt);
}

TEST(XmlTextTest, RefusesEntityDeclarations) {
  const std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
      "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
      "<!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">]>"
      "<lolz>&lol2;</lolz>";
  const std::string external =
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<d>&x;</d>";
  const std::string parameter =
      "<!DOCTYPE d [<!ENTITY % p SYSTEM \"http://example.invalid/x.dtd\"> %p;]><d/>";
  const std::string emptySubset = "<!DOCTYPE d []><d>text</d>";
  for (const auto& doc : {laughs, external, parameter, emptySubset}) {
    Recorder r;
    EXPECT_EQ(ParseXml(doc, r), XmlError::EntityRefused) << doc;
    EXPECT_EQ(r.log.find("lol"), std::string::npos);
  }
}

TEST(XmlTextTest, ExternalDocumentTypesAreNotLoaded) {
  // An XHTML page naming its DTD: the DTD is not fetched, its entities are reported.
  Recorder r;
  EXPECT_EQ(ParseXml("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
                     "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\"><p>a&nbsp;b</p>",
                     r),
            XmlError::None);
  EXPECT_EQ(r.log, "<:p>a&nbsp;b</p>");
  // Without a document type an unknown entity is an error of the document.
  Recorder bare;
  EXPECT_EQ(ParseXml("<p>a&nbsp;b</p>", bare), XmlError::Malformed);
}

TEST(XmlTextTest, MalformedAndStoppedDocuments) {
  for (const std::string doc : {"", "<a>", "<a></b>", "<a x='1' x='2'/>", "<a/><b/>",
                                "<p:a>undeclared prefix</p:a>", "\xff\xfe<\x00"}) {
    Recorder r;
    EXPECT_EQ(ParseXml(doc, r), XmlError::Malformed) << doc;
  }

  Recorder r;
  XmlParser parser(r);
  r.parser = &parser;
  r.stopAfterElements = 2;
  EXPECT_FALSE(parser.Feed("<a><b>one</b><c>two</c></a>", true));
  EXPECT_EQ(parser.error(), XmlError::Stopped);
  EXPECT_EQ(r.log, "<:a><:b>");
  EXPECT_FALSE(parser.Feed("<more/>"));
}

TEST(XmlTextTest, ReadsDeclaredEncodings) {
  const std::string text = "Съешь же ещё этих мягких французских булок";
  for (const char* charset : {"windows-1251", "koi8-r", "ISO-8859-5", "UTF-16LE"}) {
    std::string doc =
        "<?xml version=\"1.0\" encoding=\"" + std::string(charset) + "\"?><t>" + text + "</t>";
    doc = testing::Encode(doc, charset);
    if (std::string(charset) == "UTF-16LE") doc = "\xff\xfe" + doc;
    Recorder r;
    EXPECT_EQ(ParseXml(doc, r), XmlError::None) << charset;
    EXPECT_EQ(r.log, "<:t>" + text + "</t>") << charset;
  }
  Recorder unknown;
  EXPECT_EQ(ParseXml("<?xml version=\"1.0\" encoding=\"no-such-set\"?><t/>", unknown),
            XmlError::Malformed);
  Recorder multiByte;
  EXPECT_EQ(ParseXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t>\x82\xa0</t>", multiByte),
            XmlError::Malformed);
}

}  // namespace
}  // namespace zyl::extract
