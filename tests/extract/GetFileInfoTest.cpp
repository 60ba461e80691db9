#include "extract/GetFileInfo.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>

#include "ExtractTestSupport.h"
#include "base/DateTime.h"
#include "extract/text/TextReader.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using testing::Encode;

const std::string kRussian = "Отчет о работе отдела. Петров Алексей подготовил таблицу. ";

TEST(GetTextInfo, TypeComesFromTheLastFourCharacters) {
  test::TempDir dir;
  EXPECT_EQ(GetTextInfo(dir.write("a.TXT", "x")).type, "txt");
  EXPECT_EQ(GetTextInfo(dir.write("b.txt", "x")).type, "txt");
  EXPECT_EQ(GetTextInfo(dir.write("c.text", "x")).type, "users");
  EXPECT_EQ(GetTextInfo(dir.write("d.cpp", "x")).type, "users");
  EXPECT_EQ(GetTextInfo(dir.write("noext", "x")).type, "users");
  const FileInfo empty = GetTextInfo(dir.write("e.txt", ""));
  EXPECT_EQ(empty.type, "txt");
  EXPECT_EQ(empty.content, "");
  EXPECT_EQ(GetTextInfo(dir.file("missing.txt")).type, "error");
  EXPECT_EQ(GetTextInfo(dir.path()).type, "error");  // a folder
}

TEST(GetTextInfo, WithoutCodePageDetectionBytesAreUtf8OrWindows1251) {
  test::TempDir dir;
  EXPECT_EQ(GetTextInfo(dir.write("u.txt", kRussian), false).content, kRussian);
  EXPECT_EQ(GetTextInfo(dir.write("w.txt", Encode(kRussian, "windows-1251")), false).content,
            kRussian);
  // KOI8-R is not recognised without detection: the bytes read as Windows-1251.
  const std::string koi = Encode(kRussian, "koi8-r");
  EXPECT_NE(GetTextInfo(dir.write("k.txt", koi), false).content, kRussian);
  // A byte-order mark declares the text's form: it is read, and it is not part of the text.
  EXPECT_EQ(
      GetTextInfo(dir.write("le.txt", "\xFF\xFE" + Encode(kRussian, "UTF-16LE")), false).content,
      kRussian);
  EXPECT_EQ(
      GetTextInfo(dir.write("be.txt", "\xFE\xFF" + Encode(kRussian, "UTF-16BE")), false).content,
      kRussian);
  EXPECT_EQ(GetTextInfo(dir.write("bom.txt", "\xEF\xBB\xBF" + kRussian), false).content, kRussian);
}

TEST(GetTextInfo, WithCodePageDetectionEveryCodePageGivesTheSameText) {
  test::TempDir dir;
  EXPECT_EQ(GetTextInfo(dir.write("u.txt", kRussian), true).content, kRussian);
  for (const char* cp : {"windows-1251", "koi8-r", "ibm-866", "iso-8859-5", "x-mac-cyrillic",
                         "UTF-16LE", "UTF-16BE"})
    EXPECT_EQ(GetTextInfo(dir.write("x.cpp", Encode(kRussian, cp)), true).content, kRussian) << cp;
  EXPECT_EQ(DecodePlainText("\xFF\xFE" + Encode(kRussian, "UTF-16LE"), true), kRussian);
  EXPECT_EQ(DecodePlainText("\xEF\xBB\xBF" + kRussian, true), kRussian);
}

TEST(FileExtension, IsTheLowerCasedTextAfterTheLastDot) {
  EXPECT_EQ(FileExtension("/a/b.HTML"), "html");
  EXPECT_EQ(FileExtension("/a.b/file"), "b/file");
  EXPECT_EQ(FileExtension("noext"), "noext");
  EXPECT_EQ(FileExtension("/a/b."), "");
}

TEST(GetFileInfo, DispatchesByExtension) {
  test::TempDir dir;
  const std::string page = "<title>T</title><body><p>a &amp; b</p>";
  ExtractOptions options;
  options.internalHtmlParser = true;
  EXPECT_EQ(GetFileInfo(dir.write("p.HTM", page), options).content, "T a & b ");
  options.internalHtmlParser = false;
  const FileInfo rendered = GetFileInfo(dir.write("p.html", page), options);
  EXPECT_EQ(rendered.content, "a & b");
  EXPECT_EQ(rendered.type, "html");

  std::string mp3(2000, '\xFF');
  mp3 += "TAG" + std::string("Title") + std::string(25, ' ') + std::string(94, ' ');
  EXPECT_EQ(GetFileInfo(dir.write("s.mp3", mp3)).title, "Title");
  EXPECT_EQ(GetFileInfo(dir.write("s.cpp", "int x;")).type, "users");
  EXPECT_EQ(GetFileInfo(dir.write("notes.Txt", "n")).type, "txt");
  EXPECT_EQ(GetFileInfo(dir.write("README", "r")).content, "r");
}

TEST(GetFileInfo, FillsLocationSizeAndTimeEvenWhenTheReaderFails) {
  test::TempDir dir;
  const std::string path = dir.write("x.mp3", "short");
  const FileInfo info = GetFileInfo(path);
  EXPECT_EQ(info.type, "error");
  EXPECT_EQ(info.location, path);
  EXPECT_EQ(info.filesize, 5);
  EXPECT_EQ(info.modified, base::FileModifiedText(path).value());
  EXPECT_FALSE(info.modified.empty());

  const FileInfo missing = GetFileInfo(dir.file("gone.txt"));
  EXPECT_EQ(missing.type, "error");
  EXPECT_EQ(missing.location, dir.file("gone.txt"));
  EXPECT_EQ(missing.filesize, 0);
}

TEST(GetFileInfo, ModifiedAtMidnightHasNoTimePart) {
  test::TempDir dir;
  const std::string path = dir.write("m.txt", "x");
  std::tm tm{};
  tm.tm_year = 2002 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 2;
  tm.tm_isdst = -1;
  const std::time_t midnight = std::mktime(&tm);
  const timeval times[2] = {{midnight, 0}, {midnight, 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
  EXPECT_EQ(GetFileInfo(path).modified, "2002-12-02");
  const timeval later[2] = {{midnight + 3723, 0}, {midnight + 3723, 0}};
  ASSERT_EQ(::utimes(path.c_str(), later), 0);
  EXPECT_EQ(GetFileInfo(path).modified, "2002-12-02 01:02:03");
}

}  // namespace
}  // namespace zyl::extract
