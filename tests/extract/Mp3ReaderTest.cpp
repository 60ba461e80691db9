#include "extract/mp3/Mp3Reader.h"

#include <gtest/gtest.h>

#include "ExtractTestSupport.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

// A field padded to its width with `fill`.
std::string Field(std::string_view value, std::size_t width, char fill = '\0') {
  std::string f(value.substr(0, width));
  f.resize(width, fill);
  return f;
}

// An ID3v1 block: "TAG", title, artist, album, year, comment, genre.
std::string Tag(std::string_view title, std::string_view artist, std::string_view album,
                std::string_view year, std::string_view comment, char fill = '\0') {
  return "TAG" + Field(title, 30, fill) + Field(artist, 30, fill) + Field(album, 30, fill) +
         Field(year, 4, fill) + Field(comment, 30, fill) + "\x0C";
}

std::string Audio(std::size_t size) {
  return std::string(size, '\xFF');
}

TEST(GetMp3Info, ReadsTheFieldsOfTheTagAtTheEnd) {
  test::TempDir dir;
  const std::string tag = Tag("  Song  ", "Artist", "Album", "1999", "Nice", ' ');
  const FileInfo info = GetMp3Info(dir.write("a.mp3", Audio(5000) + tag));
  EXPECT_EQ(info.type, "mp3");
  EXPECT_EQ(info.title, "Song");
  EXPECT_EQ(info.author, "Artist");
  EXPECT_EQ(info.content, "Song Artist Album 1999 Nice");
}

TEST(GetMp3Info, NeedsMoreThanTheWindowSize) {
  test::TempDir dir;
  const std::string tag = Tag("T", "A", "B", "2000", "C", ' ');
  EXPECT_EQ(GetMp3Info(dir.write("a.mp3", Audio(1100 - tag.size()) + tag)).type, "error");
  const FileInfo info = GetMp3Info(dir.write("b.mp3", Audio(1101 - tag.size()) + tag));
  EXPECT_EQ(info.type, "mp3");
  EXPECT_EQ(info.title, "T");
  EXPECT_EQ(GetMp3Info(dir.file("missing.mp3")).type, "error");
}

TEST(GetMp3Info, WithoutATagTheFileIsStillAnMp3) {
  test::TempDir dir;
  const FileInfo info = GetMp3Info(dir.write("a.mp3", Audio(3000)));
  EXPECT_EQ(info.type, "mp3");
  EXPECT_EQ(info.content, "");
  EXPECT_EQ(info.title, "");
  // A tag further back than the last 1100 bytes is not seen.
  const FileInfo far = GetMp3Info(dir.write("b.mp3", Tag("Old", "", "", "", "") + Audio(1100)));
  EXPECT_EQ(far.title, "");
}

TEST(Mp3InfoFromTail, TheLastTagWinsEvenInsideATitle) {
  // "TAG" inside the song title: the fields are read from that later occurrence.
  const FileInfo info = Mp3InfoFromTail(Audio(500) + Tag("My TAGline", "Band", "", "", "", ' '));
  EXPECT_EQ(info.title.substr(0, 4), "line");
  EXPECT_EQ(info.type, "mp3");
}

TEST(Mp3InfoFromTail, FieldsEndAtTheirZeroPaddingAndLoseTheirBlanks) {
  // A version 1.1 comment: 28 characters, a zero byte, the track number.
  const FileInfo info =
      Mp3InfoFromTail(Tag("  Song", "Band \0junk", "", "2001", std::string("Nice\0\0\x07", 7)));
  EXPECT_EQ(info.title, "Song");
  EXPECT_EQ(info.author, "Band");
  EXPECT_EQ(info.content, "Song Band  2001 Nice");
}

TEST(Mp3InfoFromTail, ReadsWindows1251AndUtf8FieldsAndShortTails) {
  const FileInfo info =
      Mp3InfoFromTail(Tag(testing::Encode("Песня", "windows-1251"), "Группа", "", "", "", ' '));
  EXPECT_EQ(info.title, "Песня");
  EXPECT_EQ(info.author, "Группа");
  // A tag cut short by the end of the window gives what is there.
  const FileInfo cut = Mp3InfoFromTail("TAGabc");
  EXPECT_EQ(cut.title, "abc");
  EXPECT_EQ(cut.content, "abc    ");
}

}  // namespace
}  // namespace zyl::extract
