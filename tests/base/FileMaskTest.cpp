#include "base/FileMask.h"

#include <gtest/gtest.h>

#include "base/Strings.h"

namespace zyl::base {
namespace {

TEST(FileMask, StarQuestionMarkAndCaseAsUsersTypeThem) {
  EXPECT_TRUE(FileMask("*.txt").Matches("Notes.TXT"));
  EXPECT_FALSE(FileMask("*.txt").Matches("notes.txt.bak"));
  EXPECT_TRUE(FileMask("*.htm*").Matches("page.html"));
  EXPECT_TRUE(FileMask("*.htm*").Matches("page.htm"));
  EXPECT_TRUE(FileMask("report?.doc").Matches("report1.doc"));
  EXPECT_FALSE(FileMask("report?.doc").Matches("report.doc"));
  EXPECT_FALSE(FileMask("report?.doc").Matches("report12.doc"));
  // "?" is one character, also when it takes two bytes; letters fold in every script.
  EXPECT_TRUE(FileMask("отчёт?.txt").Matches("ОТЧЁТЯ.txt"));
  EXPECT_TRUE(FileMask("*.ДОК").Matches("план.док"));
}

TEST(FileMask, TrailingDotStarAndLoneDotSpeakOfTheExtension) {
  EXPECT_TRUE(FileMask("*.*").Matches("README"));
  EXPECT_TRUE(FileMask("*.*").Matches("a.b.c"));
  EXPECT_TRUE(FileMask("read*.*").Matches("README"));
  EXPECT_FALSE(FileMask("read*.*").Matches("notes"));
  EXPECT_TRUE(FileMask("*.").Matches("Makefile"));
  EXPECT_FALSE(FileMask("*.").Matches("main.cpp"));
}

// Matching a folded name is matching the name.
TEST(FileMask, FoldedAndPlainMatchingAgree) {
  for (const char* mask : {"*.txt", "A?c*", "*.*", "*.", "*ЁЖ*", "x"}) {
    const FileMask m(mask);
    for (const char* name : {"a.TXT", "abc", "AbCd.e", "noext", "ёжик", "X", ""})
      EXPECT_EQ(m.Matches(name), m.MatchesFolded(FoldCase(name))) << mask << " " << name;
  }
}

TEST(WildcardMatch, ComparesBytesAndTakesOneCodePointForAQuestionMark) {
  EXPECT_TRUE(WildcardMatch("a*c", "abbbc"));
  EXPECT_FALSE(WildcardMatch("a*c", "ABC"));  // no folding here
  EXPECT_TRUE(WildcardMatch("?", "ж"));
  EXPECT_TRUE(WildcardMatch("?", "\xFF"));  // a malformed byte counts as one
  EXPECT_FALSE(WildcardMatch("??", "ж"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_FALSE(WildcardMatch("?", ""));
}

}  // namespace
}  // namespace zyl::base
