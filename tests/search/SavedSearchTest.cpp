#include "search/SavedSearch.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace zyl::search {
namespace {

TEST(SavedSearch, WritesTheExampleFileByteForByte) {
  test::TempDir dir;
  SearchForm f;
  f.searchText = "кредит договор";
  f.author = "Петров";
  f.notEarlier = true;
  f.notEarlierCount = "2";
  f.dateUnit = kWeeks;
  f.dateTo = "05.12.2026";
  f.sizeValue = "1";
  f.sizeRelation = kGreater;
  f.sizeUnit = kKilobytes;
  f.types[3] = f.types[4] = true;
  const std::string file = dir.file("q.zyq");
  SaveSearch(file, f);
  std::string expected =
      "[General]\r\nContent=кредит договор\r\nWholeWord=0\r\nSearchType=0\r\nAuthor=Петров\r\n"
      "Datefrom=\r\nDateto=05.12.2026\r\nSizefrom=\r\nSizeto=\r\nTitle=\r\nFileName=\r\n"
      "DatePoint=2\r\nSizePoint=1\r\nSearchCombo0=3\r\nSearchCombo1=0\r\nSearchCombo2=1\r\n"
      "SearchOption0=0\r\nSearchOption1=1\r\nSearchOption2=0\r\nSearchOption3=0";
  for (int i = 1; i <= kTypePositions; ++i)
    expected += "\r\nFileType" + std::to_string(i) + "=" + (i == 4 || i == 5 ? "1" : "0");
  EXPECT_EQ(test::ReadFile(file), expected);

  EXPECT_EQ(OpenSearch(file), f);
}

// Every field a file keeps, each away from its default, comes back as it was written; the
// check boxes a file does not keep come back cleared.
TEST(SavedSearch, EveryKeptFieldReadsBackAsWritten) {
  test::TempDir dir;
  SearchForm f;
  f.searchText = "a b";
  f.searchType = kQueryLanguage;
  f.wholeWord = true;
  f.title = "t";
  f.author = "au";
  f.fileName = "*.doc";
  f.dateBetween = f.notEarlier = f.sizeBetween = f.sizeByCondition = true;
  f.dateFrom = "01.01.2001";
  f.dateTo = "02.02.2002";
  f.notEarlierCount = "3";
  f.dateUnit = kMonths;
  f.sizeFrom = "4";
  f.sizeTo = "5";
  f.sizeRelation = kEqual;
  f.sizeValue = "6";
  f.sizeUnit = kMegabytes;
  for (std::size_t i = 0; i < f.types.size(); i += 2) f.types[i] = true;
  const std::string file = dir.file("all.zyq");
  SaveSearch(file, f);
  EXPECT_EQ(OpenSearch(file), f);

  f.searchInFound = f.archiveOnly = true;
  SaveSearch(file, f);
  const SearchForm back = OpenSearch(file);
  EXPECT_FALSE(back.searchInFound);
  EXPECT_FALSE(back.archiveOnly);
}

TEST(SavedSearch, KeepsForeignKeysAndSectionsOfAnExistingFile) {
  test::TempDir dir;
  const std::string file =
      dir.write("q.zyq", "[Mine]\r\nx=1\r\n[General]\r\nExtra=keep\r\nTitle=old");
  SearchForm f;
  f.title = "new";
  SaveSearch(file, f);
  const std::string text = test::ReadFile(file);
  EXPECT_TRUE(text.starts_with("[Mine]\r\nx=1\r\n[General]\r\nExtra=keep\r\nTitle=new\r\n"));
}

TEST(SavedSearch, EmptyFileClearsEverythingAndOnlyExactOneChecks) {
  test::TempDir dir;
  const std::string file = dir.write("q.zyq",
                                     "[General]\r\nFileType1=01\r\nFileType2= 1\r\n"
                                     "FileType3=1\r\nSearchCombo0=77\r\nSearchType=-4");
  const SearchForm f = OpenSearch(file);
  EXPECT_FALSE(f.types[0]);
  EXPECT_FALSE(f.types[1]);
  EXPECT_TRUE(f.types[2]);
  EXPECT_EQ(f.dateUnit, kMinutes);  // no position of the list: the one of an empty file
  EXPECT_EQ(f.searchType, kAnyWord);
  const SearchForm empty = OpenSearch(dir.write("e.zyq", ""));
  EXPECT_EQ(empty.dateUnit, kMinutes);
  EXPECT_EQ(empty.sizeUnit, kBytes);
  EXPECT_FALSE(empty.dateBetween);
  EXPECT_EQ(empty.searchText, "");
}

}  // namespace
}  // namespace zyl::search
