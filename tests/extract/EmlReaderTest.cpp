#include "extract/mail/EmlReader.h"

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/Paths.h"
#include "extract/GetFileInfo.h"
#include "extract/TextLimit.h"
#include "extract/mail/Mail.h"
#include "extract/mail/Maildir.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

// A KOI8-R message with an encoded subject and sender, a quoted-printable plain part inside a
// multipart/alternative, and an HTML alternative that must not win.
const std::string kMessage =
    "Return-Path: <ann@example.com>\r\n"
    "From: =?koi8-r?B?4c7OwQ==?= <ann@example.com>\r\n"
    "Subject: =?koi8-r?B?8NLJ18XU?=\r\n"
    "Date: Mon, 2 Dec 2002 10:20:30 +0300\r\n"
    "Message-ID: <1@example.com>\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/alternative; boundary=\"b1\"\r\n"
    "\r\n"
    "--b1\r\n"
    "Content-Type: text/plain; charset=koi8-r\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "=F0=D2=C9=D7=C5=D4, =CD=C9=D2!\r\n"
    "--b1\r\n"
    "Content-Type: text/html; charset=us-ascii\r\n"
    "\r\n"
    "<p>html alternative</p>\r\n"
    "--b1--\r\n";

TEST(EmlReaderTest, SavedMessageGivesWhatItsMailboxRowWouldGive) {
  test::TempDir dir;
  const FileInfo eml = GetEmlInfo(dir.write("letter.eml", kMessage));
  const FileInfo row = MailMessageInfo(kMessage, "Inbox", false);
  EXPECT_EQ(eml.type, "eml");
  EXPECT_EQ(eml.title, "Привет");
  EXPECT_EQ(eml.author, "Анна <ann@example.com>");
  EXPECT_EQ(eml.content.find("Привет, мир!"), 0u) << eml.content;
  EXPECT_EQ(eml.content.find("html alternative"), std::string::npos);
  EXPECT_EQ(eml.title, row.title);
  EXPECT_EQ(eml.author, row.author);
  EXPECT_EQ(eml.content, row.content);
  EXPECT_FALSE(eml.textCut);
  // The same bytes in a Maildir are the same message under the Maildir's type.
  const FileInfo maildir = GetMaildirInfo(dir.write("Mail/cur/1.host:2,S", kMessage));
  EXPECT_EQ(maildir.type, "maildir");
  EXPECT_EQ(maildir.content, eml.content);
}

TEST(EmlReaderTest, MalformedAndOversizedMessages) {
  test::TempDir dir;
  EXPECT_TRUE(GetEmlInfo(dir.file("missing.eml")).failed());
  // Nothing, headers without a body, a body without headers, bytes that are no mail at all:
  // each is a message with whatever it has, never a failure or a crash.
  const FileInfo empty = GetEmlInfo(dir.write("empty.eml", ""));
  EXPECT_EQ(empty.type, "eml");
  EXPECT_TRUE(empty.content.empty() && empty.title.empty() && empty.author.empty());
  const FileInfo headers = GetEmlInfo(dir.write("h.eml", "Subject: only\r\nFrom: a@b"));
  EXPECT_EQ(headers.title, "only");
  EXPECT_EQ(headers.author, "a@b");
  EXPECT_TRUE(headers.content.empty());
  // Cut inside a base64 part and inside its boundary: the decoded part of the text remains.
  const std::string truncated =
      "Subject: cut\r\nContent-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\n"
      "Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\naGVsbG8gd29y";
  EXPECT_EQ(GetEmlInfo(dir.write("t.eml", truncated)).content.find("hello wor"), 0u);
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_EQ(GetEmlInfo(dir.write("g.eml", garbage)).type, "eml");

  // A message larger than the run's bound is read for its leading part and says it was cut.
  const TextLimitScope limit(1000);
  const std::string big = "Subject: big\r\n\r\n" + std::string(10000, 'x');
  const FileInfo cut = GetEmlInfo(dir.write("big.eml", big));
  EXPECT_TRUE(cut.textCut);
  EXPECT_EQ(cut.title, "big");
  EXPECT_LE(cut.content.size(), 1000u);
}

TEST(EmlReaderTest, MaildirMessagesAreKnownByTheirFolder) {
  test::TempDir dir;
  dir.write("Mail/new/.keep", "");
  dir.write("Mail/tmp/.keep", "");
  const std::string inCur = dir.write("Mail/cur/1.host:2,S", kMessage);
  // Through the one entry point: the message's text, but the file's own size and time, so
  // that an update sees a changed message as it sees a changed file.
  const FileInfo info = GetFileInfo(inCur);
  EXPECT_EQ(info.type, "maildir");
  EXPECT_EQ(info.title, "Привет");
  EXPECT_EQ(info.location, inCur);
  EXPECT_EQ(info.filesize, static_cast<std::int32_t>(kMessage.size()));
  EXPECT_EQ(info.modified, base::FileModifiedText(inCur).value_or("?"));
  // cur/ without new/ and tmp/ beside it is an ordinary folder; paths without a folder above
  // cur/ are no Maildir's.
  EXPECT_NE(GetFileInfo(dir.write("Other/cur/4.txt", kMessage)).type, "maildir");
  for (const char* path : {"cur/x", "/cur/x", "", "/"}) EXPECT_FALSE(IsMaildirMessage(path));
}

}  // namespace
}  // namespace zyl::extract
