// Reading and meaning of the dialect: what it refuses and where, how values of different
// kinds combine, and how date literals compare with stored dates.
#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "db/Compiler.h"
#include "db/JetDate.h"
#include "db/Lexer.h"
#include "db/Parser.h"

namespace zyl::db::test {
namespace {

// Position and reason of the refusal of a whole statement.
std::pair<std::size_t, std::string> Refusal(std::string_view statement) {
  try {
    CompileStatement(statement);
  } catch (const SqlError& e) {
    return {e.position(), e.reason()};
  }
  return {0, "accepted"};
}

bool Mentions(const std::string& reason, std::string_view word) {
  return reason.find(word) != std::string::npos;
}

TEST(Dialect, RefusesWithPositionAndReason) {
  const std::string w = "SELECT title FROM ContentIndex WHERE ";  // 37 characters
  struct Case {
    std::string text;
    std::size_t position;
    const char* word;
  } cases[] = {
      {"", 1, "SELECT or DELETE"},
      {"UPDATE ContentIndex SET title='x'", 1, "SELECT or DELETE"},
      {"SELECT title FROM Other", 19, "unknown table"},
      {"SELECT title FROM ContentIndex, ContentIndex", 31, "after the end"},
      {"SELECT nosuch FROM ContentIndex", 8, "unknown field"},
      {"SELECT Count(*) FROM ContentIndex", 8, "Sum()"},
      {"SELECT title, Sum(filesize) FROM ContentIndex", 15, "beside"},
      {"SELECT Sum(title) FROM ContentIndex", 12, "numbers"},
      {"SELECT DISTINCT title FROM ContentIndex", 8, "DISTINCT"},
      {w + "title = \"abc", 46, "not closed"},
      {w + "title = [abc", 46, "not closed"},
      {w + "modified > #1/5/02", 49, "not closed"},
      {w + "modified > #13/13/02#", 49, "invalid date"},
      {w + "modified > #2/30/02#", 49, "invalid date"},
      {w + "(title = 'a'", 50, "expected"},
      {w + "title = 'a')", 49, "after the end"},
      {w + "title = ", 46, "ends too early"},
      {w + "title == 'a'", 45, "unexpected"},
      {w + "title != 'a'", 44, "unexpected character"},
      {w + "Avg(filesize) > 1", 38, "aggregate"},
      {w + "Sum(filesize) > 1", 38, "aggregate"},
      {w + "Count(title) > 1", 38, "aggregate"},
      {w + "IRR(filesize) > 1", 38, "financial"},
      {w + "Rate(1,2,3) > 1", 38, "financial"},
      {w + "Shell(\"rm -rf /\") = 1", 38, "unknown function"},
      {w + "Left(title) = 'a'", 38, "takes 2 arguments"},
      {w + "Mid(title) = 'a'", 38, "2 to 3"},
      {w + "nosuch = 1", 38, "unknown field"},
      {w + "[Other].[title] = 1", 38, "unknown table"},
      {w + "title LIKE \"ab[c\"", 52, "not closed"},
      {w + "title LIKE \"[z-a]\"", 50, "backwards"},
      {w + "filesize > 'big'", 49, "not a number"},
      {w + "modified > 'someday'", 49, "not a date"},
      {w + "12abc = 1", 38, "malformed number"},
      {w + "title = 'a' AND", 53, "ends too early"},
      {w + "title = 'a' OR 'x'", 53, "cannot be used as a condition"},
      {"DELETE * FROM ContentIndex WHERE", 33, "ends too early"},
      {"SELECT title FROM ContentIndex;;", 32, "after the end"},
      {w + "title = 'Ж' OR nosuch = 1", 53, "unknown field"},  // positions count characters
  };
  for (const Case& c : cases) {
    const auto [pos, reason] = Refusal(c.text);
    EXPECT_EQ(pos, c.position) << c.text << " -> " << reason;
    EXPECT_TRUE(Mentions(reason, c.word)) << c.text << " -> " << reason;
  }
}

TEST(Dialect, AcceptsTheWrittenForms) {
  for (const char* ok : {
           "select TITLE from contentindex where TYPE = 'txt'",
           "SELECT [title], [ContentIndex].[author] FROM [ContentIndex]",
           "SELECT ContentIndex.title AS t FROM ContentIndex",
           "SELECT * FROM ContentIndex WHERE title IS NOT NULL;",
           "DELETE FROM ContentIndex WHERE filesize BETWEEN 1 AND 10",
           "DELETE * FROM ContentIndex WHERE NOT (type IN ('a', \"b\", 'c'))",
           "SELECT title FROM ContentIndex WHERE modified > #2002-01-05 10:30#",
           "SELECT title FROM ContentIndex WHERE modified > #10:30 PM#",
           "SELECT title FROM ContentIndex WHERE -filesize ^ 2 < 5 Mod 3 \\ 2",
           "SELECT title FROM ContentIndex WHERE title & author LIKE 'a*' XOR True",
           "SELECT title FROM ContentIndex WHERE Date > modified AND Now() > Date()",
       }) {
    EXPECT_NO_THROW(CompileStatement(ok)) << ok;
  }
}

TEST(Dialect, ValuesNeverBecomeStatementText) {
  const CompiledQuery q = CompileStatement(
      "SELECT title FROM ContentIndex WHERE title = 'x'' OR ''1''=''1' AND "
      "filesize > 10 AND modified < #1/5/02#");
  EXPECT_EQ(q.where.find("OR"), std::string::npos);
  EXPECT_EQ(q.where.find("10"), std::string::npos);
  ASSERT_EQ(q.params.size(), 3u);
  EXPECT_EQ(q.params[0].AsText(), "x' OR '1'='1");
  EXPECT_EQ(q.params[1].AsInt(), 10);
  EXPECT_EQ(q.params[2].AsText(), "2002-01-05");
}

TEST(Dialect, BoundsEveryInput) {
  std::string deep = "SELECT title FROM ContentIndex WHERE ";
  for (int i = 0; i < 5000; ++i) deep += "(";
  EXPECT_TRUE(Mentions(Refusal(deep).second, "nested too deeply"));
  std::string nots = "SELECT title FROM ContentIndex WHERE ";
  for (int i = 0; i < 5000; ++i) nots += "NOT ";
  EXPECT_TRUE(Mentions(Refusal(nots + "1").second, "nested too deeply"));
  std::string sum = "SELECT title FROM ContentIndex WHERE filesize";
  for (int i = 0; i < 1000; ++i) sum += "+1";
  EXPECT_TRUE(Mentions(Refusal(sum + " > 0").second, "too complex"));
  EXPECT_TRUE(Mentions(Refusal(std::string(kMaxStatementBytes + 1, ' ')).second, "too long"));
  // A long list of OR-ed words stays shallow and runs.
  SampleDb s({{"w", "", "word499 here", "/a", "txt", "2002-01-01", 1}});
  std::string words = "content LIKE '*word0*'";
  for (int i = 1; i < 500; ++i) words += " OR content LIKE '*word" + std::to_string(i) + "*'";
  EXPECT_EQ(s.Where(words), Titles({"w"}));
}

TEST(Dialect, DateLiteralsAgainstStoredDates) {
  SampleDb s({{"morning", "", "", "/a", "txt", "2002-01-05 10:00:00", 1},
              {"midnight", "", "", "/b", "txt", "2002-01-05", 1},
              {"day before", "", "", "/c", "txt", "2002-01-04 23:59:59", 1},
              {"old", "", "", "/d", "txt", "1999-12-31", 1},
              {"undated", "", "", "/e", "txt", std::nullopt, 1}});
  EXPECT_EQ(s.Where("modified >= #1/5/02#"), Titles({"morning", "midnight"}));
  EXPECT_EQ(s.Where("modified <= #1/5/02#"), Titles({"midnight", "day before", "old"}));
  EXPECT_EQ(s.Where("modified = #1/5/2002#"), Titles({"midnight"}));
  EXPECT_EQ(s.Where("modified = #1/5/02 10:00#"), Titles({"morning"}));
  EXPECT_EQ(s.Where("modified > #1/4/02 11:59:59 PM#"), Titles({"morning", "midnight"}));
  EXPECT_EQ(s.Where("modified < #1/1/70#"), Titles({}));  // 70 is 1970
  EXPECT_EQ(s.Where("modified < #1/1/69#"), Titles({"morning", "midnight", "day before", "old"}));
  EXPECT_EQ(s.Where("modified BETWEEN #1/4/02# AND #1/5/02#"), Titles({"midnight", "day before"}));
  EXPECT_EQ(s.Where("modified >= '5.1.2002'"), Titles({"morning", "midnight"}));
  EXPECT_EQ(s.Where("modified IS NULL"), Titles({"undated"}));
  EXPECT_EQ(s.Where("Year(modified) = 1999"), Titles({"old"}));
  EXPECT_EQ(s.Where("modified + 1 > #1/6/02#"), Titles({"morning"}));
  EXPECT_EQ(s.Where("modified - #1/4/02# = 1"), Titles({"midnight"}));
  EXPECT_EQ(s.Where("modified > 37260"), Titles({"morning", "midnight", "day before"}));

  EXPECT_FALSE(ParseDateLiteral("2/29/01", 2002));
  EXPECT_TRUE(ParseDateLiteral("2/29/04", 2002));
  EXPECT_EQ(DateText(*ParseDateLiteral("1/5", 2030)), "2030-01-05");
  EXPECT_EQ(DateText(*ParseDateLiteral("12:00 AM", 2030)), "1899-12-30");
  EXPECT_EQ(DateText(*ParseDateLiteral("12:30 PM", 2030)), "1899-12-30 12:30:00");
  EXPECT_EQ(DateText(*ParseDateLiteral("1/5/102", 2030)), "0102-01-05");
  EXPECT_FALSE(ParseDateLiteral("1/5/02 25:00", 2002));
  EXPECT_FALSE(ParseDateLiteral("5.1.2002", 2002));  // dots are not a literal's form
  EXPECT_EQ(DateText(*SerialToDate(37261.5)), "2002-01-05 12:00:00");
  EXPECT_EQ(DateToSerial(*ParseDateText("29.12.1899 06:00", 2002)), -1.25);
  EXPECT_EQ(DateText(*SerialToDate(-1.25)), "1899-12-29 06:00:00");
}

TEST(Dialect, NullsCombineAsTheyShould) {
  SampleDb s({{"a", std::nullopt, std::nullopt, "/a", "txt", "2002-01-01", std::nullopt},
              {"b", "x", "text", "/b", "txt", "2002-01-01", 5}});
  EXPECT_EQ(s.Where("author = NULL"), Titles({}));
  EXPECT_EQ(s.Where("NOT (author = 'x')"), Titles({}));  // unknown stays unknown
  EXPECT_EQ(s.Where("content LIKE '*'"), Titles({"b"}));
  EXPECT_EQ(s.Where("content NOT LIKE 'zzz'"), Titles({"b"}));
  EXPECT_EQ(s.Where("author + 'y' IS NULL"), Titles({"a"}));  // + keeps Null
  EXPECT_EQ(s.Where("author & 'y' = 'y'"), Titles({"a"}));    // & reads Null as ""
  EXPECT_EQ(s.Where("\" \" & content & \" \" LIKE \"  \""), Titles({"a"}));
  EXPECT_EQ(s.Where("\" \" + content + \" \" LIKE \"*\""), Titles({"b"}));
  EXPECT_EQ(s.Where("Nz(filesize) = 0"), Titles({"a"}));
  EXPECT_EQ(s.Where("Nz(author, 'none') = 'none'"), Titles({"a"}));
  EXPECT_EQ(s.Where("IsNull(filesize)"), Titles({"a"}));
  EXPECT_EQ(s.Where("filesize IN (1, NULL, 5)"), Titles({"b"}));
  EXPECT_EQ(s.Where("filesize NOT IN (1, 2)"), Titles({"b"}));
  EXPECT_EQ(s.Where("Len(author) = 1"), Titles({"b"}));
}

TEST(Dialect, MixedKindsCombineLikeTheOriginalEngine) {
  SampleDb s({{"5", "7", "text", "/a", "txt", "2002-01-01", 12}});
  EXPECT_EQ(s.Where("title + author = '57'"), Titles({"5"}));  // two texts join
  EXPECT_EQ(s.Where("title + 1 = 6"), Titles({"5"}));          // a number makes it a sum
  EXPECT_EQ(s.Where("filesize & 'x' = '12x'"), Titles({"5"}));
  EXPECT_EQ(s.Where("filesize = '12'"), Titles({"5"}));
  EXPECT_EQ(s.Where("filesize / 5 = 2.4"), Titles({"5"}));
  EXPECT_EQ(s.Where("filesize \\ 5 = 2"), Titles({"5"}));
  EXPECT_EQ(s.Where("filesize Mod 5 = 2"), Titles({"5"}));
  EXPECT_EQ(s.Where("-7 Mod 5 = -2"), Titles({"5"}));
  EXPECT_EQ(s.Where("-2 ^ 2 = -4"), Titles({"5"}));
  EXPECT_EQ(s.Where("2 ^ -1 = 0.5"), Titles({"5"}));
  EXPECT_EQ(s.Where("2 ^ 3 ^ 2 = 64"), Titles({"5"}));
  EXPECT_EQ(s.Where("1 + 2 * 3 = 7 AND (1 + 2) * 3 = 9"), Titles({"5"}));
  EXPECT_EQ(s.Where("'a' & 1 + 2 = 'a3'"), Titles({"5"}));
  EXPECT_EQ(s.Where("(filesize > 1) = True"), Titles({"5"}));
  EXPECT_EQ(s.Where("(filesize > 1) + 1 = 0"), Titles({"5"}));  // true is -1
  EXPECT_EQ(s.Where("NOT 0 = -1"), Titles({"5"}));
  EXPECT_EQ(s.Where("(5 AND 3) = 1"), Titles({"5"}));  // numbers: bitwise
  EXPECT_EQ(s.Where("True XOR False"), Titles({"5"}));
  EXPECT_EQ(s.Where("False EQV False"), Titles({"5"}));
  EXPECT_EQ(s.Where("False IMP False"), Titles({"5"}));
  EXPECT_EQ(s.Where("title > '4' AND title < '6'"), Titles({"5"}));
  EXPECT_EQ(s.Where("filesize BETWEEN '10' AND 20"), Titles({"5"}));
  EXPECT_EQ(s.Where("IIf(filesize > 10, 'big', 'small') = 'big'"), Titles({"5"}));
  EXPECT_EQ(s.Where("IIf(filesize > 10, 1, 'small') = 1"), Titles({"5"}));
  // Errors found only per row are reported when the statement runs.
  EXPECT_THROW(s.Where("filesize / 0 = 1"), DbError);
  EXPECT_THROW(s.Where("content + 1 = 1"), DbError);
  EXPECT_THROW(s.Where("title LIKE author & '['"), DbError);
}

}  // namespace
}  // namespace zyl::db::test
