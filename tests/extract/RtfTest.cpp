#include "extract/office/RtfReader.h"

#include <gtest/gtest.h>

#include <string>

#include "extract/office/OfficeReaders.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

std::string Text(std::string_view rtf) {
  std::optional<RtfDocument> doc = ParseRtf(rtf);
  EXPECT_TRUE(doc.has_value()) << rtf;
  return doc ? doc->text : std::string("<not parsed>");
}

TEST(RtfTest, ReadsTextPropertiesAndLineBreaksOfAWordDocument) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
      "{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}\r\n"
      "{\\info{\\title \\'ce\\'f2\\'f7\\'b8\\'f2}{\\author Ivan Petrov}{\\company ACME}"
      "{\\creatim\\yr2024\\mo1}}\r\n"
      "\\f0\\fs20 Hello \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\par\r\n"
      "one\\line two\\tab three\\par}";
  std::optional<RtfDocument> doc = ParseRtf(rtf);
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->text, "Hello Привет\r\none\r\ntwo\tthree\r\n");
  EXPECT_EQ(doc->title, "Отчёт");
  EXPECT_EQ(doc->author, "Ivan Petrov");
}

TEST(RtfTest, UnicodeEscapesSkipTheirFallbackCharacters) {
  EXPECT_EQ(Text("{\\rtf1 \\u1055?\\u1088?x}"), "Прx");
  EXPECT_EQ(Text("{\\rtf1\\uc2 \\u1055\\'cf\\'cfx}"), "Пx");
  EXPECT_EQ(Text("{\\rtf1\\uc0 \\u1055 x}"), "Пx");
  // The count belongs to the group: after it closes, one fallback character again.
  EXPECT_EQ(Text("{\\rtf1{\\uc3 \\u1055???}\\u1055?}"), "ПП");
  // Negative values are the upper half of the 16-bit range; pairs make one character.
  EXPECT_EQ(Text("{\\rtf1 \\u-3913?}"), "\xEF\x82\xB7");
  EXPECT_EQ(Text("{\\rtf1 \\u-10179?\\u-8700?}"), "\xF0\x9F\x98\x84");
  // A fallback cut short by the end of the group does not swallow what follows it.
  EXPECT_EQ(Text("{\\rtf1{\\uc4 \\u1055?}ok}"), "Пok");
}

TEST(RtfTest, HexEscapesFollowTheDocumentAndFontCodePages) {
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}"), "café");
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg866 \\'8f\\'e0\\'a8}"), "При");
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg20866 \\'f0\\'d2\\'c9}"), "При");
  // Without a code page the bytes are in the writer's ANSI code page, Windows-1251 here.
  EXPECT_EQ(Text("{\\rtf1\\ansi \\'cf}"), "П");
  // A font's character set overrides the document's code page for text in that font.
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times;}{\\f1\\fcharset204 "
                 "Arial;}}\\'e9{\\f1 \\'cf}\\'e9}"),
            "éПé");
  EXPECT_EQ(Text("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset238 A;}}\\'9a}"), "š");
}

TEST(RtfTest, OtherCharacterSetsAndFontSwitches) {
  EXPECT_EQ(Text("{\\rtf1\\mac caf\\'8e}"), "café");
  EXPECT_EQ(Text("{\\rtf1\\pc \\'82}"), "é");
  EXPECT_EQ(Text("{\\rtf1\\pca \\'9b}"), "ø");
  // A font may name its code page directly; \\plain returns to the default font.
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 A;}{\\f3\\cpg866 B;}}"
                 "\\f3\\'8f\\plain\\'e9}"),
            "Пé");
  // Properties are decoded like the text: escapes, Unicode and the font's code page.
  std::optional<RtfDocument> doc = ParseRtf(
      "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset204 X;}}"
      "{\\info{\\title\\f1 \\'cf\\u1088?}{\\author caf\\'e9}{\\subject no}}x}");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->title, "Пр");
  EXPECT_EQ(doc->author, "café");
  EXPECT_EQ(doc->text, "x");
}

TEST(RtfTest, DestinationsThatAreNotMainTextAreSkipped) {
  EXPECT_EQ(Text("{\\rtf1{\\*\\generator Msftedit;}{\\*\\unknownthing xx}a"
                 "{\\pict\\wmetafile8 0102ff}b{\\header head}{\\footer foot}"
                 "{\\footnote note}c{\\object{\\*\\objdata 01}}d}"),
            "abcd");
  EXPECT_EQ(Text("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt site}}.}"),
            "see site.");
  EXPECT_EQ(Text("{\\rtf1 {\\pntext 1.\\tab}item}"), "item");
  // \binN data is skipped as raw bytes, braces and backslashes included.
  EXPECT_EQ(Text("{\\rtf1 a{\\pict\\bin5 }{\\x\\}b}"), "ab");
}

TEST(RtfTest, SymbolsAndTableMarks) {
  EXPECT_EQ(Text("{\\rtf1 a\\~b\\_c\\-d\\{\\}\\\\}"),
            "a\xC2\xA0"
            "b-cd{}\\");
  EXPECT_EQ(Text("{\\rtf1 \\emdash\\endash\\lquote\\rdblquote}"), "—–‘”");
  EXPECT_EQ(Text("{\\rtf1 A1\\cell B1\\cell\\row A2\\cell}"), "A1\tB1\t\r\nA2\t");
  // Line breaks in the file itself are not text; a backslash before one is a paragraph.
  EXPECT_EQ(Text("{\\rtf1 a\r\nb\\\nc}"), "ab\r\nc");
}

// Word processors write properties the ANSI code page cannot hold twice: an ANSI version
// with "?" for the missing characters, and a Unicode version under \ud. Both shapes occur:
// the \upr group around the property, and inside the property around its text.
TEST(RtfTest, PropertiesAndTextOfUprGroupsComeFromTheUnicodeVersion) {
  const std::optional<RtfDocument> outer = ParseRtf(
      "{\\rtf1\\ansi\\ansicpg1252{\\info{\\upr{\\title \\'3f\\'3f}{\\*\\ud{\\title "
      "\\u1055\\'3f\\u1083\\'3f\\u1072\\'3f\\u1085\\'3f}}}"
      "{\\upr{\\author ??}{\\*\\ud{\\author \\uc0\\u1048\\u1074\\u1072\\u1085}}}}Body\\par}");
  ASSERT_TRUE(outer);
  EXPECT_EQ(outer->title, "План");
  EXPECT_EQ(outer->author, "Иван");
  EXPECT_EQ(outer->text, "Body\r\n");

  const std::optional<RtfDocument> inner = ParseRtf(
      "{\\rtf1{\\info{\\title {\\upr{Fallback}{\\*\\ud{\\u380? title}}}}{\\author "
      "{\\upr{A}{\\*\\ud{\\u1071?}}}}}{\\upr{ansi body}{\\*\\ud{unicode body}}}}");
  ASSERT_TRUE(inner);
  EXPECT_EQ(inner->title, "ż title");
  EXPECT_EQ(inner->author, "Я");
  EXPECT_EQ(inner->text, "unicode body");

  // A \ud outside a \upr group stays an unknown destination; a lone \upr yields nothing.
  EXPECT_EQ(Text("{\\rtf1 a{\\*\\ud b}{\\upr{\\upr c}}d}"), "ad");
}

TEST(RtfTest, MalformedInputIsRefused) {
  EXPECT_FALSE(ParseRtf(""));
  EXPECT_FALSE(ParseRtf("plain text"));
  EXPECT_FALSE(ParseRtf("{\\rtf1 cut short"));
  EXPECT_FALSE(ParseRtf("{\\rtf1 {\\b bold} still open"));
  std::string deep = "{\\rtf1 ";
  for (int i = 0; i < 100000; ++i) deep += '{';
  EXPECT_FALSE(ParseRtf(deep));
  std::string nested = "{\\rtf1 ";
  for (int i = 0; i < 100; ++i) nested += "{x";
  for (int i = 0; i < 100; ++i) nested += '}';
  EXPECT_EQ(Text(nested + "}"), std::string(100, 'x'));
  // Out-of-range parameters are ignored; bytes after the document are not read.
  EXPECT_EQ(Text("{\\rtf1\\ansicpg-5\\ansicpg99999\\fs2147483648 ok}trailing"), "ok");
  EXPECT_EQ(Text("{\\rtf1{\\uc2147483647\\u65 ???}ok}"), "Aok");
}

TEST(RtfTest, WordProcessorReaderTakesRtfByContent) {
  test::TempDir dir;
  const std::string rtf = "{\\rtf1{\\info{\\title T}{\\author A}}Body\\par}";
  FileInfo info = GetWordInfo(dir.write("letter.RTF", rtf));
  EXPECT_EQ(info.type, "rtf");
  EXPECT_EQ(info.content, "Body\r\n");
  EXPECT_EQ(info.title, "T");
  EXPECT_EQ(info.author, "A");
  // Word documents saved as RTF under a .doc name are read by what they hold.
  info = GetWordInfo(dir.write("saved.doc", rtf));
  EXPECT_EQ(info.type, "doc");
  EXPECT_EQ(info.content, "Body\r\n");
  EXPECT_EQ(GetWordInfo(dir.write("fake.rtf", "not rtf")).type, "error");
  EXPECT_EQ(GetWordInfo(dir.write("cut.rtf", rtf.substr(0, rtf.size() - 1))).type, "error");
  EXPECT_EQ(GetWordInfo(dir.write("empty.rtf", "")).type, "error");
}

}  // namespace
}  // namespace zyl::extract
