// The functions of the query builder's catalogue and their companions, each checked by a
// condition that holds only when the function gives the expected value.
#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "base/DateTime.h"

namespace zyl::db::test {
namespace {

class Functions : public ::testing::Test {
 protected:
  Functions()
      : s_({{"Hello World", "Иванов", "  padded  ", "/docs/a.txt", "txt", "2002-01-05 10:30:15",
             1234}}) {}
  // Every condition must hold for the one row.
  void ExpectAll(std::initializer_list<const char*> conditions) {
    for (const char* c : conditions) {
      try {
        EXPECT_EQ(s_.Where(c).size(), 1u) << c;
      } catch (const std::exception& e) {
        ADD_FAILURE() << c << ": " << e.what();
      }
    }
  }
  void ExpectError(std::initializer_list<const char*> conditions) {
    for (const char* c : conditions) EXPECT_THROW(s_.Where(c), std::runtime_error) << c;
  }
  SampleDb s_;
};

TEST_F(Functions, Text) {
  ExpectAll({
      "Asc('A') = 65",
      "Asc('Жук') = 198",  // the code of the working code page
      "AscW('Ж') = 1046",
      "Chr(65) = 'A'",
      "Chr(192) = 'А'",
      "ChrW(1046) = 'Ж'",
      "InStr(title, 'World') = 7",
      "InStr(title, 'world') = 7",  // text comparison ignores case by default
      "InStr(1, title, 'world', 0) = 0",
      "InStr(8, title, 'o') = 8",
      "InStr(9, title, 'o') = 0",
      "InStr(author, 'ванов') = 2",
      "InStr(1, title, '') = 1",
      "InStrRev(title, 'o') = 8",
      "LCase(title) = 'hello world'",
      "UCase(author) = 'ИВАНОВ'",
      "Left(title, 5) = 'Hello'",
      "Left(author, 2) = 'Ив'",  // characters, not bytes
      "Right(author, 3) = 'нов'",
      "Mid(title, 7) = 'World'",
      "Mid(author, 2, 3) = 'ван'",
      "Mid(title, 50) = ''",
      "Len(author) = 6",
      "Len(content) = 10",
      "LTrim(content) = 'padded  '",
      "RTrim(content) = '  padded'",
      "Trim(content) = 'padded'",
      "Space(3) = '   '",
      "String(3, 'xyz') = 'xxx'",
      "Replace(title, 'o', '0') = 'Hell0 W0rld'",
      "Replace(title, 'O', '0', 1, 1) = 'Hell0 World'",
      "StrComp('abc', 'ABC') = 0",
      "StrComp('abc', 'ABC', 0) = 1",
      "StrReverse(author) = 'вонавИ'",
      "Str(5) = ' 5' AND Str(-5) = '-5' AND Str(0.5) = ' .5'",
      "Val('  12.5kg') = 12.5",
      "Val('abc') = 0",
      "CStr(filesize) = '1234'",
      "CStr(1.5) = '1.5'",
      "Format(filesize, '000000') = '001234'",
      "Format(filesize, '#,##0.00') = '1,234.00'",
      "Format(0.256, '0.0%') = '25.6%'",
      "Format(filesize, 'Fixed') = '1234.00'",
      "Format(-3, '0;(0)') = '(3)'",
      "Format(modified, 'dd.mm.yyyy') = '05.01.2002'",
      "Format(modified, 'yyyy-mm-dd hh:nn:ss') = '2002-01-05 10:30:15'",
      "Format(modified, 'd mmmm yyyy') = '5 January 2002'",
      "Format(modified, 'h:mm AM/PM') = '10:30 AM'",
      "Format(modified, 'Short Date') = '05.01.2002'",
      "Format(modified) = '05.01.2002 10:30:15'",
      "Format('2002-01-05', 'dddd') = 'Saturday'",
      "Format(title, '>') = 'HELLO WORLD'",
      "Format(title) = 'Hello World'",
  });
}

TEST_F(Functions, Numbers) {
  ExpectAll({
      "Abs(-2.5) = 2.5",
      "Exp(0) = 1",
      "Fix(-2.7) = -2 AND Int(-2.7) = -3",
      "Fix(2.7) = 2 AND Int(2.7) = 2",
      "Sgn(-3) = -1 AND Sgn(0) = 0 AND Sgn(filesize) = 1",
      "Sqr(16) = 4",
      "Log(Exp(2)) = 2",
      "Round(2.5) = 2 AND Round(3.5) = 4 AND Round(1.2345, 2) = 1.23",
      "Atn(0) = 0 AND Cos(0) = 1 AND Sin(0) = 0 AND Tan(0) = 0",
      "CInt(2.5) = 2 AND CInt(3.5) = 4 AND CInt('12') = 12",
      "CLng(filesize) = 1234",
      "CByte(255) = 255",
      "CDbl('1.5e3') = 1500",
      "CSng(1.1) = 1.1",
      "CCur(1.23456) = 1.2346",
      "CBool(1) = True AND CBool(0) = False AND CBool('True')",
      "Hex(255) = 'FF' AND Hex(-1) = 'FFFFFFFF' AND Hex(4294967296) = '100000000'",
      "Oct(8) = '10'",
      "IsNumeric('12') AND NOT IsNumeric('12a') AND IsNumeric(filesize)",
      "IsDate('5.1.2002') AND NOT IsDate('soon')",
      "CDbl('&HFF') = 255",
  });
  ExpectError({"Sqr(-1) > 0", "CInt(40000) > 0", "CByte(-1) = 0", "Log(0) = 0", "Chr(300) = 'x'",
               "Asc('') = 0", "Mid(title, 0) = ''", "Left(title, -1) = ''", "Exp(1000) > 0"});
  // A refusal while running names the function and what was wrong.
  try {
    s_.Where("Sqr(filesize - 2000) > 0");
    FAIL();
  } catch (const DbError& e) {
    EXPECT_STREQ(e.what(), "Sqr(): invalid procedure call or argument");
  }
  try {
    s_.Where("author * 2 > 0");
    FAIL();
  } catch (const DbError& e) {
    EXPECT_STREQ(e.what(), "type mismatch (\"Иванов\" is not a number)");
  }
}

TEST_F(Functions, DatesAndTimes) {
  ExpectAll({
      "Day(modified) = 5 AND Month(modified) = 1 AND Year(modified) = 2002",
      "Hour(modified) = 10 AND Minute(modified) = 30 AND Second(modified) = 15",
      "WeekDay(modified) = 7",     // a Saturday
      "WeekDay(modified, 2) = 6",  // counted from Monday
      "CDate('5.1.2002') = #1/5/2002#",
      "CDate('2002-01-05 10:30:15') = modified",
      "CDate(37261) = #1/5/2002#",
      "DateValue(modified) = #1/5/02#",
      "TimeValue(modified) = #10:30:15#",
      "DateSerial(2002, 13, 1) = #1/1/2003#",
      "DateSerial(2002, 3, 0) = #2/28/2002#",
      "DateSerial(2, 1, 5) = #1/5/2002#",
      "TimeSerial(25, 0, 0) = #12/31/1899 1:00#",
      "DateAdd('m', 1, #1/31/2002#) = #2/28/2002#",
      "DateAdd('d', -5, modified) = #12/31/2001 10:30:15#",
      "DateAdd('yyyy', 1, modified) = #1/5/2003 10:30:15#",
      "DateAdd('h', 14, modified) = #1/6/2002 0:30:15#",
      "DateDiff('d', #1/1/2002#, modified) = 4",
      "DateDiff('m', #12/31/2001#, #1/1/2002#) = 1",
      "DateDiff('yyyy', #12/31/2001#, #1/1/2002#) = 1",
      "DateDiff('h', #1/5/2002 9:59#, modified) = 1",
      "DatePart('q', modified) = 1 AND DatePart('y', #2/1/2002#) = 32",
      "DatePart('ww', #1/6/2002#) = 2",
      "Date() <= Now() AND Time() < #1/1/1900#",
      "Year(Date()) >= 2024",
  });
  ExpectError({"Day('someday') = 1", "DateAdd('x', 1, modified) = 1",
               "DateSerial(10000, 1, 1) > modified"});
  // Date and Now are evaluated when the statement runs.
  const auto today = base::LocalParts(base::Now());
  const std::string cond = "Day(Date()) = " + std::to_string(today.day);
  EXPECT_EQ(s_.Where(cond).size(), 1u);
}

TEST_F(Functions, NullArguments) {
  SampleDb s({{"n", std::nullopt, std::nullopt, "/n", "txt", std::nullopt, std::nullopt}});
  for (const char* c : {"Left(author, 2) IS NULL", "Len(content) IS NULL", "LCase(author) IS NULL",
                        "Day(modified) IS NULL", "InStr(author, 'a') IS NULL",
                        "Abs(filesize) IS NULL", "Format(modified, 'yyyy') IS NULL",
                        "CStr(author) IS NULL", "NOT IsNumeric(filesize)", "NOT IsDate(modified)"})
    EXPECT_EQ(s.Where(c).size(), 1u) << c;
}

}  // namespace
}  // namespace zyl::db::test
