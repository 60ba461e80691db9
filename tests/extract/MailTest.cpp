#include "extract/Mail.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cstdlib>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

class VectorSink : public ContentSink {
 public:
  void AppendRow(const FileInfo& row) override {
    if (failAfter >= 0 && static_cast<int>(rows.size()) >= failAfter)
      throw ContentSinkError(3022, "full");
    rows.push_back(row);
  }
  std::vector<FileInfo> rows;
  int failAfter = -1;
};

std::string Date(const base::DateTimeParts& p) {
  return base::FormatModified(p);
}

std::string Crlf(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const char* const kPlainMessage =
    "From: Ann Smith <ann@example.com>\n"
    "To: bob@example.com\n"
    "Subject: =?koi8-r?B?8NLJ18XU?= budget\n"
    "Date: Mon, 2 Dec 2002 10:20:30 +0300\n"
    "Message-ID: <123@example.com>\n"
    "Content-Type: text/plain; charset=windows-1251\n"
    "\n"
    "Hello =C0=C1 soft=\nbreak=20end\n";

TEST(MailHeaderTest, HeadersWithEitherLineBreak) {
  for (const std::string& msg : {std::string(kPlainMessage), Crlf(kPlainMessage)}) {
    EXPECT_EQ(GetMailFrom(msg), "Ann Smith <ann@example.com>");
    // An encoded subject is stored as it is written.
    EXPECT_EQ(GetMailSubject(msg), "=?koi8-r?B?8NLJ18XU?= budget");
    EXPECT_EQ(GetMessageId(msg), "<123@example.com>");
    EXPECT_EQ(Date(GetMailDate(msg)), "2002-12-02 10:20:30");
  }
  // The first occurrence counts; "From:" needs no line start, "Subject:" does.
  EXPECT_EQ(GetMailFrom("X-Original-From: a\nFrom: b\n"), "a");
  EXPECT_EQ(GetMailSubject("X-Subject: no\nSubject:  yes  \n"), "yes");
  EXPECT_EQ(GetMailSubject("Subject: first line has no break before it"), "");
  EXPECT_EQ(GetMailFrom("From:\r\nTo: x\r\n"), "");
  EXPECT_EQ(GetMailFrom("From:\nTo: x\n"), "");
  EXPECT_EQ(GetMailFrom("no sender"), "");
  EXPECT_EQ(GetMailFrom("From: at the end"), "at the end");
}

TEST(MailHeaderTest, DatesAndTheirMalformedForms) {
  const auto date = [](const std::string& value) {
    return Date(GetMailDate("X: y\nDate: " + value + "\nTo: z\n"));
  };
  EXPECT_EQ(date("Mon, 2 Dec 2002 10:20:30 +0300"), "2002-12-02 10:20:30");
  EXPECT_EQ(date("mon, 02 DEC 2002 00:00:00"), "2002-12-02");
  EXPECT_EQ(date("Wed,  4 Jun 2003 08:05 GMT"), "2003-06-04 08:05:00");
  EXPECT_EQ(date("4 Jun 2003 08:05:09 +0000"), "2003-06-04 08:05:09");
  EXPECT_EQ(date("Tue, 3 Dec 02 11:00:00"), "2002-12-03 11:00:00");
  EXPECT_EQ(date("Tue, 3 Dec 99 11:00:00"), "1999-12-03 11:00:00");
  // Out-of-range parts are carried over as date arithmetic does; an unknown month is the
  // December of the year before.
  EXPECT_EQ(date("Fri, 31 Feb 2002 12:00:00"), "2002-03-03 12:00:00");
  EXPECT_EQ(date("Fri, 5 Foo 2002 12:00:00"), "2001-12-05 12:00:00");
  // Nothing sound to read: the zero date.
  for (const char* bad : {"", "   ", "yesterday", "Mon, 2 Dec 2002", "Mon, 2 Dec 2002 noon",
                          "Mon, x Dec 2002 10:20:30", "Mon, 2 Dec 2002 25:00:00",
                          "Mon, 2 Dec 99999999999 10:20:30", "Mon, 2 Dec 2002 1:2:3:4"})
    EXPECT_EQ(date(bad), "1899-12-30") << bad;
  EXPECT_EQ(Date(GetMailDate("no date header")), "1899-12-30");
}

TEST(MailHeaderTest, GeneratedMessageIds) {
  for (int i = 0; i < 50; ++i) {
    const std::string id = MakeMessageId();
    // "<", six characters of number (zeros, the sign blank, digits), two capitals or blanks,
    // the current date and time, ">".
    ASSERT_GT(id.size(), 10u);
    EXPECT_THAT(id.substr(1, 6), MatchesRegex("0* [0-9]+"));
    EXPECT_THAT(id.substr(7, 2), MatchesRegex("[A-Z ][A-Z ]"));
    EXPECT_EQ(id.front(), '<');
    EXPECT_EQ(id.back(), '>');
    EXPECT_TRUE(base::ParseModified(id.substr(9, id.size() - 10))) << id;
  }
  EXPECT_THAT(GetMessageId("Message-ID: \nSubject: x\n"), StartsWith("<"));
  EXPECT_THAT(GetMessageId("Message-ID:\r\n"), StartsWith("<"));
  EXPECT_THAT(GetMessageId("Message-Id: <lower@x>\n"), StartsWith("<"));
  EXPECT_NE(GetMessageId("Message-Id: <lower@x>\n"), "<lower@x>");
}

TEST(MailBodyTest, ReducedQuotedPrintable) {
  EXPECT_EQ(DecodeQuotedPrintable("=C0=FF=E0", "win"), "\xC0\xFF\xE0");
  EXPECT_EQ(DecodeQuotedPrintable("=C1", "koi8r"), "\xE0");  // KOI8-R "а" is 0xE0 in 1251
  // Only upper-case escapes of C0..FF, "=20", soft line breaks and "&nbsp;" are decoded.
  EXPECT_EQ(DecodeQuotedPrintable("=c1=3D=A8=B8=BF=20a&nbsp;b", "win"), "=c1=3D=A8=B8=BF a b");
  EXPECT_EQ(DecodeQuotedPrintable("one=\r\ntwo=\nthree=", "win"), "one\r\ntwo\nthree=");
  EXPECT_EQ(DecodeQuotedPrintable("==C0=C", "win"), "=\xC0=C");
  EXPECT_EQ(DecodeQuotedPrintable("", "win"), "");
}

TEST(MailBodyTest, PlainTextPartDecodedToUtf8) {
  EXPECT_EQ(GetMailBody(kPlainMessage, "------"), "\n\nHello АБ soft\nbreak end\n");
  EXPECT_EQ(GetMailBody(Crlf(kPlainMessage), "------"), "\r\n\r\nHello АБ soft\r\nbreak end\r\n");
  // A body already in UTF-8 stays as it is.
  EXPECT_EQ(GetMailBody("Content-Type: text/plain; charset=utf-8\n\nПривет", "------"),
            "\n\nПривет");
  // The body ends at the first 0x7F of a message that is not multipart.
  EXPECT_EQ(GetMailBody("Content-Type: text/plain;\n\nabc\x7F"
                        "def",
                        "------"),
            "\n\nabc");
  // No text part, or no empty line after it: nothing.
  EXPECT_EQ(GetMailBody("Content-Type: image/gif;\n\nGIF89a", "------"), "");
  EXPECT_EQ(GetMailBody("Subject: x\n\nplain old message", "------"), "");
  EXPECT_EQ(GetMailBody("Content-Type: text/plain;\nno empty line", "------"), "");
}

TEST(MailBodyTest, Koi8rOnlyWithTheQuotedCharset) {
  const std::string koi =
      "Content-Type: text/plain; charset=\"koi8-r\"\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n\r\n=C1=D2=C2=D5=DA";
  EXPECT_EQ(GetMailBody(koi, "------"), "\r\n\r\nарбуз");
  std::string unquoted = koi;
  unquoted.replace(unquoted.find("\"koi8-r\""), 8, "koi8-r");
  EXPECT_EQ(GetMailBody(unquoted, "------"), "\r\n\r\nБТВХЪ");
}

TEST(MailBodyTest, MultipartPartsEndAtTheMarker) {
  const std::string oe =
      "Content-Type: multipart/alternative;\r\n\tboundary=\"----=_NextPart_000\"\r\n\r\n"
      "------=_NextPart_000\r\nContent-Type: text/plain;\r\n\tcharset=\"windows-1251\"\r\n\r\n"
      "plain text\r\n\r\n------=_NextPart_000\r\nContent-Type: text/html;\r\n\r\n<b>html</b>\r\n";
  EXPECT_EQ(GetMailBody(oe, "------"), "\r\n\r\nplain text\r\n\r\n");
  const std::string moz =
      "Content-Type: multipart/mixed; boundary=\"------------0A1B\"\n\n"
      "--------------0A1B\nContent-Type: text/plain; charset=us-ascii\n\nnote\n"
      "--------------0A1B--\n";
  EXPECT_EQ(GetMailBody(moz, "\n--------"), "\n\nnote");
  EXPECT_EQ(GetMailBody(Crlf(moz), "\n--------"), "\r\n\r\nnote");
  // Without its end marker the part runs to the end of the message.
  const std::string cut =
      "Content-Type: multipart/mixed;\n\nContent-Type: text/plain;\n\nall of it";
  EXPECT_EQ(GetMailBody(cut, "\n--------"), "\n\nall of it");
}

TEST(MailBodyTest, HtmlOnlyMessagesLoseTheirMarkup) {
  const std::string html =
      "Content-Type: text/html; charset=windows-1251\n\n"
      "<html><!-- note --><script>var x = 1;</script><body><p>Dear <b>Ann</b></p></body></html>";
  const std::string body = GetMailBody(html, "------");
  EXPECT_NE(body.find("Dear"), std::string::npos);
  EXPECT_NE(body.find("Ann"), std::string::npos);
  EXPECT_EQ(body.find('<'), std::string::npos);
  EXPECT_EQ(body.find("var x"), std::string::npos);
  EXPECT_EQ(body.find("note"), std::string::npos);
}

class MailboxTest : public ::testing::Test {
 protected:
  MailboxTest() : saved_(settings::Config()) {}
  ~MailboxTest() override { settings::Config() = saved_; }
  test::TempDir tmp;
  VectorSink sink;

 private:
  settings::Settings saved_;
};

const char* const kMbox =
    "From - Mon Dec 02 10:20:30 2002\n"
    "X-Mozilla-Status: 0001\n"
    "From: first@example.com\n"
    "Subject: One\n"
    "Date: Mon, 2 Dec 2002 10:20:30 +0300\n"
    "Message-ID: <1@x>\n"
    "Content-Type: text/plain; charset=windows-1251\n"
    "\n"
    "Первое \xEF\xE8\xF1\xFC\xEC\xEE\n"
    "\n"
    "From - Tue Dec 03 11:00:00 2002\n"
    "From: second@example.com\n"
    "Subject: Two\n"
    "Message-ID: <2@x>\n"
    "\n"
    "no text part\n"
    "\n"
    "From - Wed Dec 04 12:00:00 2002\n"
    "From: third@example.com\n"
    "Subject: \xD2\xF0\xE8\n"
    "Message-ID: <3@x>\n"
    "Content-Type: text/plain;\n"
    "\n"
    "third body\n";

TEST_F(MailboxTest, NetscapeMailboxOfThreeMessagesGivesThreeRows) {
  for (const std::string& text : {std::string(kMbox), Crlf(kMbox)}) {
    sink.rows.clear();
    const MailCounts counts = ReadNetscapeFile(tmp.write("Inbox", text), sink);
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(counts.messages, 3);
    const FileInfo& first = sink.rows[0];
    EXPECT_EQ(first.location, "Inbox/<1@x>");
    EXPECT_EQ(first.author, "first@example.com");
    EXPECT_EQ(first.title, "One");
    EXPECT_EQ(first.type, "mail_moz");
    EXPECT_EQ(first.modified, "2002-12-02 10:20:30");
    // A body mixing UTF-8 and Windows-1251 bytes is not UTF-8: all of it is read as 1251.
    EXPECT_NE(first.content.find("письмо"), std::string::npos);
    EXPECT_EQ(first.filesize, static_cast<int>(base::Len(first.content)));
    EXPECT_EQ(sink.rows[1].content, "");
    EXPECT_EQ(sink.rows[1].modified, "1899-12-30");
    EXPECT_EQ(sink.rows[2].title, "Три");
    EXPECT_EQ(sink.rows[2].content.find("third body"),
              text.find('\r') == std::string::npos ? 2u : 4u);
    EXPECT_EQ(counts.totalSize,
              sink.rows[0].filesize + sink.rows[1].filesize + sink.rows[2].filesize);
  }
}

// An Outlook Express store: a file header, then records cut by the bytes 7F 00 7F.
std::string OutlookStore(const std::vector<std::string>& messages) {
  std::string store("JMF6\x00\x00\x00\x01header bytes\x01\x02", 22);
  for (const auto& m : messages) {
    store += std::string("\x7F\x00\x7F", 3);
    store += std::string("\x10\x00\x00\x00", 4);  // rest of a record header
    store += m;
  }
  return store;
}

TEST_F(MailboxTest, OutlookExpressStoreCutAtTheRecordMarks) {
  const std::string store = OutlookStore(
      {Crlf("From: a@x\nSubject: A\nMessage-ID: <a@x>\nContent-Type: text/plain;\n\nbody A\n"),
       Crlf("From: b@x\nSubject: B\nContent-Type: text/plain;\n\nbody B\n")});
  const MailCounts counts = ReadOutlookExpressFile(tmp.write("Inbox.mbx.bak", store), sink);
  EXPECT_EQ(counts.messages, 2);
  ASSERT_EQ(sink.rows.size(), 2u);
  EXPECT_EQ(sink.rows[0].location, "Inbox/<a@x>");
  EXPECT_EQ(sink.rows[0].type, "mail_oe");
  EXPECT_EQ(sink.rows[0].content, "\r\n\r\nbody A\r\n");
  EXPECT_THAT(sink.rows[1].location, StartsWith("Inbox/<"));
  EXPECT_NE(sink.rows[1].location, "Inbox/<a@x>");
  EXPECT_EQ(counts.totalSize, 24);
}

TEST_F(MailboxTest, ConfiguredOutlookExpressFolder) {
  EXPECT_EQ(ReadOutlookExpressMail(sink).messages, 0);  // not configured
  settings::Config().OutlookExpressFolder = tmp.file("oe");
  tmp.write("oe/Inbox.mbx", OutlookStore({"X: y\nSubject: 1\n", "X: y\nSubject: 2\n"}));
  tmp.write("oe/Sent Items.MBX", OutlookStore({"Subject: 3\n"}));
  tmp.write("oe/Folders.dbx", OutlookStore({"Subject: not a mailbox\n"}));
  base::MakeFolders(tmp.file("oe/Old.mbx"));
  const MailCounts counts = ReadOutlookExpressMail(sink);
  EXPECT_EQ(counts.messages, 3);
  ASSERT_EQ(sink.rows.size(), 3u);
  EXPECT_EQ(sink.rows[0].title, "1");
  EXPECT_THAT(sink.rows[2].location, StartsWith("Sent Items/<"));
}

TEST_F(MailboxTest, NetscapeFoldersCountOnlyWithPopstate) {
  tmp.write("user1/Mail/popstate.dat", "");
  tmp.write("user1/Mail/Inbox", kMbox);
  tmp.write("user1/Mail/Inbox.msf", "// index");
  tmp.write("user2/Inbox", kMbox);  // no popstate.dat
  tmp.write("user3/popstate.dat", "");
  tmp.write("user3/Sent", "From - x\nSubject: sent\n");
  base::MakeFolders(tmp.file("user3/Inbox.sbd"));
  settings::Config().NetscapeFolders =
      tmp.file("user1") + ";" + tmp.file("user2") + "; " + tmp.file("user3") + "/;";
  EXPECT_THAT(GetNetscapeUserDirs(),
              ElementsAre("", tmp.file("user1/"), tmp.file("user2/"), tmp.file("user3/")));
  EXPECT_EQ(NetscapeMailFolder(tmp.file("user1")), tmp.file("user1/Mail/"));
  EXPECT_EQ(NetscapeMailFolder(tmp.file("user2")), "");
  const MailCounts counts = ReadNetscapeMail(sink);
  EXPECT_EQ(counts.messages, 4);
  ASSERT_EQ(sink.rows.size(), 4u);
  EXPECT_EQ(sink.rows[3].location.substr(0, 5), "Sent/");
}

TEST_F(MailboxTest, ThunderbirdProfilesAreFoundWhenNothingIsConfigured) {
  const char* oldHome = std::getenv("HOME");
  const std::string saved = oldHome ? oldHome : "";
  ::setenv("HOME", tmp.path().c_str(), 1);
  tmp.write(".thunderbird/ab12.default/Mail/pop.example.com/popstate.dat", "");
  tmp.write(".thunderbird/ab12.default/Mail/pop.example.com/Inbox", kMbox);
  base::MakeFolders(tmp.file(".thunderbird/ab12.default/Mail/Local Folders"));
  tmp.write(".thunderbird/profiles.ini", "[General]");
  settings::Config().NetscapeFolders = "";
  const auto dirs = GetNetscapeUserDirs();
  const MailCounts counts = ReadNetscapeMail(sink);
  if (oldHome)
    ::setenv("HOME", saved.c_str(), 1);
  else
    ::unsetenv("HOME");
  EXPECT_THAT(dirs, ElementsAre("", tmp.file(".thunderbird/ab12.default/Mail/Local Folders/"),
                                tmp.file(".thunderbird/ab12.default/Mail/pop.example.com/")));
  EXPECT_EQ(counts.messages, 3);
}

TEST_F(MailboxTest, MoreThanAHundredMailboxesAreAllRead) {
  tmp.write("many/popstate.dat", "");
  for (int i = 0; i < 101; ++i) tmp.write("many/box" + std::to_string(i), "From - x\nSubject: s\n");
  settings::Config().NetscapeFolders = tmp.file("many");
  EXPECT_EQ(ReadNetscapeMail(sink).messages, 101);
}

TEST_F(MailboxTest, FailuresStoreNothingAndCountOnlyStoredRows) {
  EXPECT_EQ(ReadNetscapeFile(tmp.file("missing"), sink).messages, 0);
  EXPECT_EQ(ReadNetscapeFile(tmp.path(), sink).messages, 0);  // a folder
  EXPECT_EQ(ReadMailFile(tmp.file("missing")), "");
  EXPECT_EQ(ReadOutlookExpressFile(tmp.write("Empty.mbx", ""), sink).messages, 0);

  std::vector<std::string> shown;
  sink.onMessage = [&](const base::Message& m) { shown.push_back(m.text); };
  sink.failAfter = 2;
  const MailCounts counts = ReadNetscapeFile(tmp.write("Inbox", kMbox), sink);
  EXPECT_EQ(counts.messages, 2);
  EXPECT_EQ(sink.rows.size(), 2u);
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(MailboxTest, LargeMailboxesAreCutAcrossReadBlocks) {
  // Separators placed around the reader's 256 KiB block edges, one of them straddling one.
  std::string text;
  std::vector<std::size_t> sizes = {(1u << 18) - 12, 3, 1u << 20, 10};
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    text += "\nFrom - " + std::to_string(i) + "\n";
    text += std::string(sizes[i], 'x');
  }
  const std::string path = tmp.write("big", text.substr(1));
  std::vector<std::size_t> got;
  EXPECT_TRUE(SplitMailbox(path, "\r\n", "\nFrom - ",
                           [&](std::string_view m) { got.push_back(m.size()); }));
  ASSERT_EQ(got.size(), 4u);
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(got[i], sizes[i] + 2) << i;
  EXPECT_FALSE(SplitMailbox(tmp.file("none"), "", "x", [](std::string_view) {}));
}

}  // namespace
}  // namespace zyl::extract
