#include "extract/TextLimit.h"

#include <gtest/gtest.h>

#include <vector>

#include "ExtractTestSupport.h"
#include "base/Paths.h"
#include "base/Utf8.h"
#include "catalog/ContentStore.h"
#include "extract/GetFileInfo.h"
#include "extract/mail/Mail.h"
#include "extract/office/OfficeReaders.h"
#include "settings/Settings.h"
#include "support/ScopedConfig.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using testing::Encode;

TEST(TextLimit, CutsAtCharacterBoundariesAndTrimsUnfinishedOnes) {
  std::string text = "абв";  // two bytes each
  EXPECT_TRUE(CutText(text, 5));
  EXPECT_EQ(text, "аб");
  EXPECT_FALSE(CutText(text, 4));
  EXPECT_EQ(text, "аб");

  std::string part = "ab\xD0";  // the first byte of a two-byte character
  TrimPartialCharacter(part);
  EXPECT_EQ(part, "ab");
  part = "a\xE2\x82";  // two of three bytes
  TrimPartialCharacter(part);
  EXPECT_EQ(part, "a");
  part = "a\xE2\x82\xAC";  // whole
  TrimPartialCharacter(part);
  EXPECT_EQ(part, "a\xE2\x82\xAC");
  part = std::string(
      "\xFF\xFE"
      "a\0b",
      5);  // the odd byte of a cut UTF-16 text
  TrimPartialCharacter(part);
  EXPECT_EQ(part.size(), 4u);
}

TEST(TextLimit, ReadingStopsAtTheLimitAndSaysWhetherTheFileGoesOn) {
  test::TempDir dir;
  const std::string path = dir.write("f.bin", "0123456789");
  bool cut = true;
  EXPECT_EQ(base::ReadFileBytes(path, 100, &cut), "0123456789");
  EXPECT_FALSE(cut);
  EXPECT_EQ(base::ReadFileBytes(path, 10, &cut), "0123456789");
  EXPECT_FALSE(cut);
  EXPECT_EQ(base::ReadFileBytes(path, 4, &cut), "0123");
  EXPECT_TRUE(cut);
}

TEST(TextLimit, EveryReaderGivesAtMostTheLimitAndSaysItCut) {
  // The bound comes with the run's options, as a build takes them when it starts.
  ExtractOptions options;
  options.maxTextBytes = 1000;
  test::TempDir dir;
  // Russian text in Windows-1251 and in UTF-8, long enough to be cut; the part kept is still
  // recognised as what it is.
  std::string russian;
  while (russian.size() < 5000) russian += "Отчёт о работе отдела за год. ";
  for (const char* codePage : {"windows-1251", "UTF-8", "UTF-16LE"}) {
    // Windows-1251 is the working code page; UTF-16 is found by the detector.
    options.forceCodePage = std::string(codePage) == "UTF-16LE";
    std::string bytes = Encode(russian, codePage);
    if (std::string(codePage) == "UTF-16LE") bytes = "\xFF\xFE" + bytes;
    const FileInfo info = GetFileInfo(dir.write("long.txt", bytes), options);
    EXPECT_TRUE(info.textCut) << codePage;
    EXPECT_LE(info.content.size(), 1000u) << codePage;
    EXPECT_GE(info.content.size(), 400u) << codePage;
    EXPECT_TRUE(base::IsValidUtf8(info.content)) << codePage;
    EXPECT_EQ(russian.rfind(info.content, 0), 0u) << codePage << ": " << info.content;
  }
  const FileInfo small = GetFileInfo(dir.write("short.txt", "short"), options);
  EXPECT_FALSE(small.textCut);
  EXPECT_EQ(small.content, "short");

  std::string page = "<html><head><title>T</title></head><body>";
  while (page.size() < 20000) page += "<p>word after word</p>\n";
  for (const bool builtIn : {true, false}) {
    options.internalHtmlParser = builtIn;
    const FileInfo html = GetFileInfo(dir.write("big.htm", page + "</body></html>"), options);
    EXPECT_EQ(html.type, "html");
    EXPECT_TRUE(html.textCut);
    EXPECT_LE(html.content.size(), 1000u);
    EXPECT_EQ(html.title, "T");
  }
  std::string rtf = "{\\rtf1\\ansi ";
  while (rtf.size() < 20000) rtf += "some words\\par ";
  const FileInfo fromRtf = GetFileInfo(dir.write("big.rtf", rtf + "}"), options);
  EXPECT_EQ(fromRtf.type, "rtf");
  EXPECT_TRUE(fromRtf.textCut);
  EXPECT_LE(fromRtf.content.size(), 1000u);

  // The libraries' text is cut in the reader process.
  options.maxTextBytes = 10;
  const FileInfo doc = GetFileInfo(test::FixturePath("office/sample.doc"), options);
  EXPECT_EQ(doc.type, "doc");
  EXPECT_TRUE(doc.textCut);
  EXPECT_LE(doc.content.size(), 10u);
  EXPECT_FALSE(doc.content.empty());
  ReleaseAutomationServers();

  // Outside a run the readers keep the default bound: the run's bound ended with it.
  EXPECT_EQ(MaxTextBytes(), static_cast<std::uint64_t>(settings::Settings{}.MaxTextBytes));
}

TEST(TextLimit, TheBoundIsTheRunsAndNotTheSettings) {
  test::ScopedConfig config;
  config->MaxTextBytes = 5;  // changed while a run goes on: the run keeps its own
  ExtractOptions options;
  options.maxTextBytes = 1000;
  test::TempDir dir;
  const FileInfo info = GetFileInfo(dir.write("mid.txt", std::string(600, 'x')), options);
  EXPECT_FALSE(info.textCut);
  EXPECT_EQ(info.content.size(), 600u);
  // A settings record's bound reaches the run only through the options taken from it.
  EXPECT_EQ(ExtractOptions::FromSettings(settings::Config()).maxTextBytes, 5);
  EXPECT_EQ(ExtractOptions::FromSettings(settings::Config()).mail.MaxTextBytes, 5);
  {
    const TextLimitScope outer(100);
    {
      const TextLimitScope inner(0);  // none given: the default
      EXPECT_EQ(MaxTextBytes(), static_cast<std::uint64_t>(settings::Settings{}.MaxTextBytes));
    }
    EXPECT_EQ(MaxTextBytes(), 100u);
  }
}

class Rows : public ContentSink {
 public:
  void AppendRow(const FileInfo& row) override { rows.push_back(row); }
  std::vector<FileInfo> rows;
};

TEST(TextLimit, AGiantMailMessageKeepsItsHeadAndTheMessagesAfterIt) {
  // A mailbox file is read inside a mail run, which sets the bound from its options.
  const TextLimitScope limit(1000);
  test::TempDir dir;
  const std::string head =
      "From - Mon Dec  2 10:20:30 2002\r\nSubject: Big\r\nMessage-ID: <1@x>\r\n"
      "Content-Type: text/plain; charset=windows-1251\r\n\r\n";
  std::string body;
  while (body.size() < 3'000'000) body += "line of a very long attachment\r\n";
  const std::string next =
      "From - Tue Dec  3 10:20:30 2002\r\nSubject: Small\r\nMessage-ID: <2@x>\r\n"
      "Content-Type: text/plain; charset=windows-1251\r\n\r\nsmall body\r\n";
  Rows sink;
  ReadNetscapeFile(dir.write("Inbox", head + body + next), sink);
  ASSERT_EQ(sink.rows.size(), 2u);
  EXPECT_EQ(sink.rows[0].title, "Big");
  EXPECT_TRUE(sink.rows[0].textCut);
  EXPECT_LE(sink.rows[0].content.size(), 1000u);
  EXPECT_LT(sink.rows[0].content.find("line of a very long attachment"), 10u);
  EXPECT_EQ(sink.rows[1].title, "Small");
  EXPECT_NE(sink.rows[1].content.find("small body"), std::string::npos) << sink.rows[1].content;
  EXPECT_FALSE(sink.rows[1].textCut);
}

}  // namespace
}  // namespace zyl::extract
