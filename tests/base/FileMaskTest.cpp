#include "base/FileMask.h"

#include <gtest/gtest.h>

namespace zyl::base {
namespace {

TEST(FileMaskTest, StarAndQuestionMark) {
  EXPECT_TRUE(WildcardMatch("*.txt", "a.txt"));
  EXPECT_TRUE(WildcardMatch("*.txt", ".txt"));
  EXPECT_FALSE(WildcardMatch("*.txt", "a.txt.bak"));
  EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(WildcardMatch("a*b*c", "aXbYbZ"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  // "?" takes one character, however many bytes it has.
  EXPECT_TRUE(WildcardMatch("?.txt", "ж.txt"));
  EXPECT_FALSE(WildcardMatch("??.txt", "ж.txt"));
  EXPECT_TRUE(WildcardMatch("*ж??", "ёжик"));
  EXPECT_FALSE(WildcardMatch("*ж?", "ёжик"));
  // A malformed byte is one character.
  EXPECT_TRUE(WildcardMatch("?x", "\xFFx"));
  EXPECT_TRUE(WildcardMatch("", ""));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_FALSE(WildcardMatch("", "a"));
}

TEST(FileMaskTest, CaseAndExtensionHabits) {
  EXPECT_TRUE(FileMask("*.TXT").Matches("Read.txt"));
  EXPECT_TRUE(FileMask("ПИСЬМО.*").Matches("письмо.doc"));
  EXPECT_TRUE(FileMask("*.htm*").Matches("index.HTML"));
  EXPECT_TRUE(FileMask("*.*").Matches("README"));
  EXPECT_TRUE(FileMask("*.*").Matches(".profile"));
  EXPECT_TRUE(FileMask("read.*").Matches("read"));
  EXPECT_FALSE(FileMask("read.*").Matches("reader"));
  EXPECT_TRUE(FileMask("*.").Matches("Inbox"));
  EXPECT_FALSE(FileMask("*.").Matches("Inbox.msf"));
  EXPECT_FALSE(FileMask(".").Matches("a"));
}

}  // namespace
}  // namespace zyl::base
