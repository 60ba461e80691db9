#include "extract/mail/Mail.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cstdlib>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/mail/MimeDecode.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

// The mail stores of the settings record, taken as a build takes them.
MailOptions ConfiguredMail() {
  return ExtractOptions::FromSettings(settings::Config()).mail;
}

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

TEST(MailBodyTest, QuotedPrintableAndBase64) {
  // Every escape in either letter case; soft breaks (blanks allowed before them) vanish.
  EXPECT_EQ(DecodeQuotedPrintable("=C0=ff=3D=a8=20a&nbsp;b", "win"), "\xC0\xFF=\xA8 a&nbsp;b");
  EXPECT_EQ(DecodeQuotedPrintable("one=\r\ntwo= \nthree=", "win"), "onetwothree=");
  EXPECT_EQ(DecodeQuotedPrintable("==C0=C=G1", "win"), "=\xC0=C=G1");
  EXPECT_EQ(DecodeQuotedPrintable("=C1=41", "koi8r"),
            "\xE0"
            "A");  // KOI8-R "а" is 1251 0xE0
  EXPECT_EQ(DecodeQuotedPrintable("", "win"), "");
  EXPECT_EQ(DecodeBase64("0J/RgNC4\r\n0LLQtdGC"), "Привет");
  EXPECT_EQ(DecodeBase64("YWJj ZA=="), "abcd");
  EXPECT_EQ(DecodeBase64("YWJjZA=junk"), "abcd");  // a pad ends the data
  EXPECT_EQ(DecodeBase64("Y"), "");                // too short for a byte
  EXPECT_EQ(DecodeBase64("!!!"), "");
}

TEST(MailBodyTest, EncodedWordsInSubjectsAndSenders) {
  EXPECT_EQ(DecodeEncodedWords("=?koi8-r?B?8NLJ18XU?= budget"), "Привет budget");
  EXPECT_EQ(DecodeEncodedWords("=?KOI8-R?Q?=F0=D2=C9=D7=C5=D4_all?="), "Привет all");
  EXPECT_EQ(DecodeEncodedWords("=?windows-1251?q?=CF=F0=E8?= <ann@x.ru>"), "При <ann@x.ru>");
  // Blanks between words go; a UTF-8 character split between two words survives.
  EXPECT_EQ(
      DecodeEncodedWords("=?utf-8?B?0J8=?=\r\n =?UTF-8?B?0YA=?= =?utf-8?Q?=D0?=\t=?utf-8?Q?=B8?="),
      "При");
  EXPECT_EQ(DecodeEncodedWords("a =?utf-8?q?b?= c"), "a b c");
  EXPECT_EQ(DecodeEncodedWords("=?utf-8*ru?B?0J8=?="), "П");  // language after the charset
  // Not encoded words: kept as written; unknown charsets decode as legacy text.
  for (const char* raw : {"=?", "=?utf-8?B?", "=?utf-8?X?abc?=", "=??B?YQ==?=", "=?utf-8?Q?a b?="})
    EXPECT_EQ(DecodeEncodedWords(raw), raw) << raw;
  EXPECT_EQ(DecodeEncodedWords("=?x-nonsense?Q?=CF?="), "П");
  EXPECT_EQ(DecodeEncodedWords("\xCF\xF0\xE8"), "При");  // raw 1251 header bytes
}

TEST(MailBodyTest, CharsetsAreTakenFromAnyContentTypeForm) {
  const std::string koi = "\xF0\xD2\xC9\xD7\xC5\xD4";  // "Привет" in KOI8-R
  for (const char* header :
       {"Content-Type: text/plain; charset=\"koi8-r\"", "Content-Type: text/plain; charset=KOI8-R",
        "content-type: TEXT/PLAIN; format=flowed; CHARSET=koi8-r; delsp=no",
        "Content-Type: text/plain;\r\n\tcharset=\"KOI8-R\""}) {
    EXPECT_EQ(GetMailBody(std::string(header) + "\r\n\r\n" + koi), "Привет") << header;
  }
  EXPECT_EQ(GetMailBody("Content-Type: text/plain; charset=ISO-8859-5\n\n\xBF\xE0\xD8"), "При");
  EXPECT_EQ(GetMailBody("Content-Type: text/plain; charset=utf-8\n\nПривет"), "Привет");
  // No charset, an unknown one, or us-ascii with 8-bit bytes: the detector decides.
  const std::string longKoi =
      "\xF0\xD2\xC9\xD7\xC5\xD4, \xCB\xC1\xCB \xC4\xC5\xCC\xC1? \xFC\xD4\xCF "
      "\xD0\xC9\xD3\xD8\xCD\xCF "
      "\xD7 \xCB\xCF\xC4\xC9\xD2\xCF\xD7\xCB\xC5 \xCB\xCF\xC9\x2D\xD7\xCF\xD3\xC5\xCD\xD8.";
  EXPECT_EQ(RecodeMailText(longKoi, "koi8-r"),
            "Привет, как дела? Это письмо в кодировке кои-восемь.");
  for (const char* charset : {"", "us-ascii", "x-unheard-of"})
    EXPECT_EQ(RecodeMailText(longKoi, charset), RecodeMailText(longKoi, "koi8-r")) << charset;
}

TEST(MailBodyTest, TransferEncodingsAndMissingContentType) {
  EXPECT_EQ(GetMailBody("Content-Type: text/plain; charset=utf-8\r\n"
                        "Content-Transfer-Encoding: BASE64\r\n\r\n0J/RgNC4\r\n0LLQtdGC\r\n"),
            "Привет");
  EXPECT_EQ(GetMailBody("Content-Type: text/plain; charset=windows-1251\n"
                        "Content-Transfer-Encoding: quoted-printable\n\n"
                        "=CF=F0=e8=E2=E5=F2 =3D soft=\nbreak=A8\n"),
            "Привет = softbreakЁ\n");
  // Without Content-Type the message is plain text; without Content-Type, ";" after the type.
  EXPECT_EQ(GetMailBody("Subject: x\n\nplain old message"), "plain old message");
  EXPECT_EQ(GetMailBody("Content-Type: text/plain\r\n\r\nno semicolon"), "no semicolon");
  // The body ends at the first 0x7F (a mailbox record's padding).
  EXPECT_EQ(GetMailBody("Content-Type: text/plain;\n\nabc\x7F"
                        "def"),
            "abc");
  // No text part, or no empty line after the headers: nothing.
  EXPECT_EQ(GetMailBody("Content-Type: image/gif;\n\nGIF89a"), "");
  EXPECT_EQ(GetMailBody("Content-Type: text/plain;\nno empty line"), "");
  EXPECT_EQ(GetMailBody(""), "");
}

TEST(MailBodyTest, PlainTextIsPreferredInNestedMultiparts) {
  const std::string nested =
      "Content-Type: multipart/mixed; boundary=outer\r\n\r\npreamble\r\n"
      "--outer\r\nContent-Type: multipart/alternative;\r\n boundary=\"in ner\"\r\n\r\n"
      "--in ner\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html</p>\r\n"
      "--in ner\r\nContent-Type: text/plain; charset=koi8-r\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n8NLJ18XU\r\n"
      "--in ner--\r\n"
      "--outer\r\nContent-Type: text/plain\r\nContent-Disposition: attachment\r\n\r\nfile\r\n"
      "--outer--\r\nepilogue\r\n";
  EXPECT_EQ(GetMailBody(nested), "Привет");
  // The old Outlook Express boundary that begins with dashes; a part without headers is plain.
  const std::string oe =
      "Content-Type: multipart/alternative;\r\n\tboundary=\"----=_NextPart_000\"\r\n\r\n"
      "------=_NextPart_000\r\nContent-Type: text/html;\r\n\r\n<b>html</b>\r\n"
      "------=_NextPart_000\r\n\r\nplain text\r\n\r\n------=_NextPart_000--\r\n";
  EXPECT_EQ(GetMailBody(oe), "plain text\r\n");
  // Only html (with or without an attachment): the html without markup, comments or scripts;
  // only an attachment: that.
  EXPECT_EQ(GetMailBody("Content-Type: text/html; charset=windows-1251\n\n<html><!-- note -->"
                        "<script>var x = 1;</script><body><p>Dear <b>Ann</b></p></body></html>"),
            "Dear Ann ");
  EXPECT_EQ(GetMailBody("Content-Type: multipart/mixed; boundary=b\n\n--b\n"
                        "Content-Type: text/html\n\n<p>Dear <b>Ann</b></p>\n--b\n"
                        "Content-Disposition: attachment; filename=a.txt\n\nattached\n--b--\n"),
            "Dear Ann ");
  EXPECT_EQ(GetMailBody("Content-Type: multipart/mixed; boundary=b\n\n--b\n"
                        "Content-Disposition: attachment; filename=a.txt\n\nattached\n--b--\n"),
            "attached");
  // A lost boundary parameter is guessed; a missing close runs to the end; no boundary at all
  // reads the body as one part.
  EXPECT_EQ(GetMailBody("Content-Type: multipart/mixed;\n\n--zz\nContent-Type: text/plain\n\nnote\n"
                        "--zz--\n"),
            "note");
  EXPECT_EQ(GetMailBody("Content-Type: multipart/mixed; boundary=q\n\n--q\n\nall of it"),
            "all of it");
  EXPECT_EQ(GetMailBody("Content-Type: multipart/mixed;\n\nContent-Type: text/plain;\n\nall of it"),
            "all of it");
  // Hostile nesting ends without exhausting the stack.
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "Content-Type: multipart/mixed; boundary=b\n\n--b\n";
  EXPECT_EQ(GetMailBody(deep), "");
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
    EXPECT_THAT(sink.rows[1].content, StartsWith("no text part"));  // no Content-Type: plain
    EXPECT_EQ(sink.rows[1].modified, "1899-12-30");
    EXPECT_EQ(sink.rows[2].title, "Три");
    EXPECT_EQ(sink.rows[2].content.find("third body"), 0u);
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

TEST_F(MailboxTest, StandardMboxSeparatorsAndEncodedHeaders) {
  const std::string mbox =
      "From ann@example.com Mon Dec  2 10:20:30 2002\n"
      "From: =?koi8-r?B?4c7OwQ==?= <ann@example.com>\n"
      "Subject: =?koi8-r?B?8NLJ18XU?=\n =?koi8-r?B?IMnaIO3P08vX2Q==?=\n"
      "Message-ID: <1@x>\n"
      "\n"
      "From here on a body line that is no separator.\n"
      "From me 10:20 on the 5th\n"
      "\n"
      "From MAILER-DAEMON Fri Jul  8 12:08:34 2011\n"
      "Subject: two\n"
      "Message-ID: <2@x>\n"
      "\n"
      "second\n"
      "From - Sat Jul  9 12:00:00 2011\n"
      "Subject: three\n"
      "\n"
      "third\n";
  for (const std::string& text : {mbox, Crlf(mbox)}) {
    sink.rows.clear();
    EXPECT_EQ(ReadNetscapeFile(tmp.write("Archive", text), sink).messages, 3);
    ASSERT_EQ(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows[0].author, "Анна <ann@example.com>");
    EXPECT_EQ(sink.rows[0].title, "Привет из Москвы");
    EXPECT_NE(sink.rows[0].content.find("From me 10:20 on the 5th"), std::string::npos);
    EXPECT_EQ(sink.rows[1].title, "two");
    EXPECT_EQ(sink.rows[2].title, "three");
  }
  EXPECT_TRUE(IsMboxSeparatorLine("- x"));
  EXPECT_TRUE(IsMboxSeparatorLine("a@b Thu Jan  1 00:00 1970"));
  EXPECT_TRUE(IsMboxSeparatorLine("a@b Sat, 18 Jan 2003 9:05:00 +0000"));
  for (const char* rest : {"", " Mon Dec  2 10:20:30 2002", "a@b", "a@b 10:20", "a@b 2002",
                           "your friend, 1999 edition", "-x 10:20 2002x"})
    EXPECT_FALSE(IsMboxSeparatorLine(rest)) << rest;
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
  EXPECT_EQ(sink.rows[0].content, "body A\r\n");
  EXPECT_THAT(sink.rows[1].location, StartsWith("Inbox/<"));
  EXPECT_NE(sink.rows[1].location, "Inbox/<a@x>");
  EXPECT_EQ(counts.totalSize, 16);
}

TEST_F(MailboxTest, ConfiguredOutlookExpressFolder) {
  EXPECT_EQ(ReadOutlookExpressMail(sink, ConfiguredMail()).messages, 0);  // not configured
  settings::Config().OutlookExpressFolder = tmp.file("oe");
  tmp.write("oe/Inbox.mbx", OutlookStore({"X: y\nSubject: 1\n", "X: y\nSubject: 2\n"}));
  tmp.write("oe/Sent Items.MBX", OutlookStore({"Subject: 3\n"}));
  tmp.write("oe/Folders.dbx", OutlookStore({"Subject: not a mailbox\n"}));
  base::MakeFolders(tmp.file("oe/Old.mbx"));
  const MailCounts counts = ReadOutlookExpressMail(sink, ConfiguredMail());
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
  EXPECT_THAT(GetNetscapeUserDirs(ConfiguredMail()),
              ElementsAre("", tmp.file("user1/"), tmp.file("user2/"), tmp.file("user3/")));
  EXPECT_EQ(NetscapeMailFolder(tmp.file("user1")), tmp.file("user1/Mail/"));
  EXPECT_EQ(NetscapeMailFolder(tmp.file("user2")), "");
  const MailCounts counts = ReadNetscapeMail(sink, ConfiguredMail());
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
  const auto dirs = GetNetscapeUserDirs(ConfiguredMail());
  const MailCounts counts = ReadNetscapeMail(sink, ConfiguredMail());
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
  EXPECT_EQ(ReadNetscapeMail(sink, ConfiguredMail()).messages, 101);
}

TEST_F(MailboxTest, FailuresStoreNothingAndCountOnlyStoredRows) {
  EXPECT_EQ(ReadNetscapeFile(tmp.file("missing"), sink).messages, 0);
  EXPECT_EQ(ReadNetscapeFile(tmp.path(), sink).messages, 0);  // a folder
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
