#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

using test::ReadFile;
using test::TempDir;

class IniFileTest : public ::testing::Test {
 protected:
  std::string Write(std::string_view bytes) { return dir_.write("test.ini", bytes); }
  std::string Path() const { return dir_.file("test.ini"); }
  std::string Content() const { return ReadFile(Path()); }
  TempDir dir_;
};

TEST_F(IniFileTest, KeysAreFoundWithoutLetterCaseInTheirSectionOnly) {
  const auto p = Write(
      "[General]\r\n  LocalPort = 8080\r\na=b=c\r\nempty=\r\n;c=1\r\nk=1\r\nk=2\r\nx=3\r\n"
      "[Other]\r\nk=3\r\n[Общие]\r\nКлюч=да");
  auto value = [&](std::string_view section, std::string_view key) {
    return ReadIniValue(section, key, "none", p);
  };
  EXPECT_EQ(value("general", "LOCALPORT"), " 8080");  // the value is not trimmed
  EXPECT_EQ(value("General", "a"), "b=c");
  EXPECT_EQ(value("General", "empty"), "none");
  EXPECT_EQ(value("General", ";c"), "1");     // no comment syntax
  EXPECT_EQ(value("General", " a"), "none");  // the key asked for is not trimmed
  EXPECT_EQ(value("General", "k"), "1");      // the first of two wins
  EXPECT_EQ(value("OTHER", "K"), "3");
  EXPECT_EQ(value("ОБЩИЕ", "ключ"), "да");
  WriteIniValue("general", "K", "9", p);  // replaces only the first
  EXPECT_EQ(value("General", "k"), "9");
  EXPECT_NE(Content().find("K=9\r\nk=2\r\nx=3\r\n[Other]\r\nk=3"), std::string::npos);
}

TEST_F(IniFileTest, LfAndCrBreaksAreReadAndAKeyChangeKeepsTheOtherLines) {
  // Saved by a Linux editor: every key must be found, not only those of CR LF files.
  const auto p = Write("[General]\nLocalPort=8080\n  Indent = kept  \nПапка=/дом/\n[Mail]\nx=1\n");
  EXPECT_EQ(ReadIniValue("General", "LocalPort", "none", p), "8080");
  EXPECT_EQ(ReadIniValue("Mail", "x", "none", p), "1");
  WriteIniValue("General", "LocalPort", "81", p);
  EXPECT_EQ(Content(),
            "[General]\r\nLocalPort=81\r\n  Indent = kept  \r\nПапка=/дом/\r\n[Mail]\r\nx=1\r\n");

  // Old Mac breaks and a mixture of all three.
  Write("[A]\ra=1\r\nb=2\nc=3\r[B]\r\nd=4");
  for (const auto* key : {"a", "b", "c"})
    EXPECT_NE(ReadIniValue("A", key, "none", p), "none") << key;
  EXPECT_EQ(ReadIniValue("A", "c", "none", p), "3");
  EXPECT_EQ(ReadIniValue("B", "d", "none", p), "4");
  auto section = ReadIniSection("A", p);
  ASSERT_TRUE(section);
  EXPECT_EQ(*section, (std::vector<std::string>{"a=1", "b=2", "c=3"}));
  DeleteIniKey("A", "b", p);
  EXPECT_EQ(Content(), "[A]\r\na=1\r\nc=3\r\n[B]\r\nd=4");
}

TEST_F(IniFileTest, HeadersMustFillTheWholeLine) {
  const auto p = Write("  [S]\r\na=1\r\n[T] \r\nb=2\r\n[General\r\nc=3\r\n");
  EXPECT_EQ(ReadIniValue("S", "a", "none", p), "none");
  EXPECT_EQ(ReadIniValue("T", "b", "none", p), "none");
  // "[General" is an ordinary line, not the start of a section.
  EXPECT_EQ(ReadIniValue("General", "c", "none", p), "none");
  const IniLines lines{"[A]", "x=1", "[B]", "[C]", "y"};
  EXPECT_EQ(FindSectionEnd(lines, 0), 1);
  EXPECT_EQ(FindSectionEnd(lines, 2), 2);
  EXPECT_EQ(FindSectionEnd(lines, 3), 4);
  EXPECT_EQ(FindLine(lines, "c", " Y "), 4);
  EXPECT_EQ(FindKeyLine(lines, "b", "x"), -1);
}

TEST_F(IniFileTest, ReadingAMissingFileLeavesAnEmptyFileBehind) {
  const std::string p = Path();
  EXPECT_EQ(ReadIniValue("S", "k", "dflt", p), "dflt");
  ASSERT_TRUE(base::FileExists(p));
  EXPECT_EQ(Content(), "");
  // ...but not in a folder that does not exist.
  const std::string q = dir_.file("missing/x.ini");
  EXPECT_EQ(ReadIniValue("S", "k", "dflt", q), "dflt");
  EXPECT_FALSE(base::FileExists(q));
  EXPECT_FALSE(ReadIniSection("S", q));
}

// A new key goes to the end of its section and a new section to the end of the file; a file
// written last in its final section has no final break; an existing key is rewritten as the
// caller spells it, its old spaces lost; a header is never taken for a key line.
TEST_F(IniFileTest, WritingPlacesTheKeyAndDropsTheFinalBreak) {
  WriteIniValue("General", "key", "value", Path());  // a missing file
  EXPECT_EQ(Content(), "[General]\r\nkey=value");
  const auto empty = dir_.write("empty.ini", "");
  WriteIniValue("General", "n", std::int64_t{-42}, empty);
  EXPECT_EQ(ReadFile(empty), "[General]\r\nn=-42");

  const auto p = Write("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  WriteIniValue("a", "z", "3", p);
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n");
  WriteIniValue("B", "v", "5", p);
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\nv=5");
  WriteIniValue("C", "w", "4", p);
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\nv=5\r\n[C]\r\nw=4");
  Write("[A]\r\n  Port = 80\r\n");
  WriteIniValue("A", "port", "81", p);
  EXPECT_EQ(Content(), "[A]\r\nport=81\r\n");
  Write("[x=1]\r\n");
  EXPECT_EQ(ReadIniValue("x=1", "[x", "none", p), "none");
  WriteIniValue("x=1", "[x", "2", p);
  EXPECT_EQ(Content(), "[x=1]\r\n[x=2");
}

TEST_F(IniFileTest, EveryRewriteCollapsesDoubledLineBreaksOnce) {
  // Runs of two breaks become one and runs of three become two.
  const auto p = Write("[A]\r\n\r\nx=1\r\n\r\n\r\n[B]\r\ny=2");
  DeleteIniKey("A", "nothing", p);
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
  const auto lines = ReadFileLines(p);
  ASSERT_TRUE(lines);
  WriteFileLines(p, *lines);
  EXPECT_EQ(Content(), "[A]\r\nx=1\r\n[B]\r\ny=2");
}

TEST_F(IniFileTest, ReadIniSectionTellsAMissingSectionFromAnEmptyOne) {
  const auto p = Write("[S]\r\nx\r\n\r\ny=1\r\n[Blank]\r\n\r\n\r\n[Last]");
  const auto s = ReadIniSection("s", p);
  ASSERT_TRUE(s);
  EXPECT_EQ(*s, (std::vector<std::string>{"x", "y=1"}));
  const auto blank = ReadIniSection("Blank", p);
  ASSERT_TRUE(blank);
  EXPECT_EQ(*blank, std::vector<std::string>{""});
  EXPECT_FALSE(ReadIniSection("Last", p));
  EXPECT_FALSE(ReadIniSection("Missing", p));
  // Lines come back as stored, blanks included.
  Write("[F]\r\n  /home/ann/docs/,1 \r\n");
  EXPECT_EQ(ReadIniSection("F", p)->front(), "  /home/ann/docs/,1 ");
}

TEST_F(IniFileTest, AddIniLinesInsertsInReverseOrderAndSkipsPresentLines) {
  WriteIniValue("Other", "k", "v", Path());
  AddIniLines("S", {"A", "B"}, Path());
  EXPECT_EQ(Content(), "[Other]\r\nk=v\r\n[S]\r\nB\r\nA");
  // Present texts are skipped (trimmed, case ignored), also within one call; the new ones
  // follow the lines already there.
  AddIniLines("s", {" a ", "C", "D", "c"}, Path());
  EXPECT_EQ(Content(), "[Other]\r\nk=v\r\n[S]\r\nB\r\nA\r\nD\r\nC");
  const auto p = Write("[S]\r\nold\r\n[T]\r\nt\r\n");
  AddIniLines("S", {"new1", "new2"}, p);
  EXPECT_EQ(Content(), "[S]\r\nold\r\nnew2\r\nnew1\r\n[T]\r\nt\r\n");
  AddIniLines("S", {}, dir_.file("fresh.ini"));
  EXPECT_EQ(ReadFile(dir_.file("fresh.ini")), "[S]");
}

TEST_F(IniFileTest, DeletingRewritesTheFileOnlyWhenNeeded) {
  const auto p = Write("[A]\r\nk=1\r\nk=2\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=3");
  DeleteIniSection("Missing", p);  // untouched: the doubled breaks stay
  EXPECT_EQ(Content(), "[A]\r\nk=1\r\nk=2\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=3");
  DeleteIniSection("b", p);
  EXPECT_EQ(Content(), "[A]\r\nk=1\r\nk=2\r\n[C]\r\nz=3");
  DeleteIniKey("A", "K", p);
  DeleteIniSection("C", p);
  EXPECT_EQ(Content(), "[A]\r\nk=2");
  DeleteIniKey("A", "k", p);
  DeleteIniSection("A", p);
  EXPECT_EQ(Content(), "");
}

TEST_F(IniFileTest, LegacyBytesAreDecodedAndFilesAreWrittenAsUtf8) {
  const auto p = Write(base::Utf8ToCp1251("[Общие]\r\nИмя=Отчёт\r\n"));
  EXPECT_EQ(ReadIniValue("общие", "имя", "", p), "Отчёт");
  WriteIniValue("Общие", "Другое", "да", p);
  EXPECT_EQ(Content(), "[Общие]\r\nИмя=Отчёт\r\nДругое=да");
}

TEST_F(IniFileTest, WritersReportErrorsAndRewritesLeaveNoTemporaryFiles) {
  EXPECT_THROW(WriteIniValue("S", "k", "v", dir_.file("no/such/folder/x.ini")), IniWriteError);
  EXPECT_THROW(AddIniLines("S", {"a"}, dir_.path()), IniWriteError);  // a folder
  EXPECT_THROW(DeleteIniKey("S", "k", dir_.file("no/x.ini")), IniWriteError);
  for (int i = 0; i < 20; ++i) WriteIniValue("S", "k" + std::to_string(i % 3), "v", Path());
  AddIniLines("T", {"a"}, Path());
  DeleteIniKey("S", "k1", Path());
  DeleteIniSection("T", Path());
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path())) {
    names.push_back(e.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"test.ini"});
  EXPECT_EQ(Content(), "[S]\r\nk0=v\r\nk2=v");
}

TEST_F(IniFileTest, ProfileValuesAreReadAsTranslatorsWriteThem) {
  const auto p = Write(
      "\xEF\xBB\xBF; comment\n"
      "[ Texts ]\n"
      "  1 =  one  \n"
      "2=\" two \"\r\n"
      "3='x\"\n"
      "4=\n"
      "[Other]\r"
      "5=five\r"
      "6=six\n");
  EXPECT_EQ(GetProfileValue("texts", "1", "d", p), "one");
  EXPECT_EQ(GetProfileValue("Texts", "2", "d", p), " two ");
  EXPECT_EQ(GetProfileValue("Texts", "3", "d", p), "'x\"");  // quotes must pair
  EXPECT_EQ(GetProfileValue("Texts", "4", "d", p), "");      // present but empty
  EXPECT_EQ(GetProfileValue("Texts", "5", "d", p), "d");
  EXPECT_EQ(GetProfileValue("Other", "5", "d", p), "five");  // CR alone ends a line too
  EXPECT_EQ(GetProfileValue("Other", "6", "d", p), "six");
  EXPECT_EQ(GetProfileValue("", "1", "d", p), "d");
}

TEST_F(IniFileTest, ProfileValuesAreCutTo248CharactersAndMissingFilesAreNotCreated) {
  std::string longValue;
  for (int i = 0; i < 300; ++i) longValue += "Ж";
  const auto p = Write("[S]\r\nk=" + longValue + "\r\n");
  const std::string v = GetProfileValue("S", "k", "", p);
  EXPECT_EQ(v.size(), 248u * 2);
  EXPECT_EQ(v, longValue.substr(0, 248 * 2));
  const std::string missing = dir_.file("none.lng");
  EXPECT_EQ(GetProfileValue("S", "k", "dflt", missing), "dflt");
  EXPECT_FALSE(base::FileExists(missing));
}

}  // namespace
}  // namespace zyl::settings
