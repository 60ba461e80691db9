#include <gtest/gtest.h>

#include "extract/DocumentTypes.h"
#include "search/SearchRequest.h"

// A case names only the fields of the request it sets; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace zyl::search {
namespace {

constexpr const char* kHead =
    "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex WHERE ";

std::string Sql(std::string_view condition) {
  return std::string(kHead) + std::string(condition);
}

// A statement without any condition selects every row.
const std::string kEveryRow =
    "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex   ";

TEST(BuildSearchSql, EachFieldAndModeWritesItsCondition) {
  struct Case {
    const char* what;
    SearchRequest request;
    std::string sql;
  };
  const Case cases[] = {
      {"any word, with a title",
       {.Content = "отчет бюджет", .Title = "план"},
       Sql("((  content  LIKE \"*отчет*\") OR (  content  LIKE \"*бюджет*\")) AND (title LIKE "
           "\"*план*\")")},
      {"all words, whole words",
       {.Content = "отчет бюджет", .SearchType = kAllWords, .WholeWord = true},
       Sql("(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]отчет[!A-zа-яА-Я]*\") AND ( \" \"+ "
           "content +\" \" LIKE \"*[!A-zа-яА-Я]бюджет[!A-zа-яА-Я]*\"))")},
      {"a phrase ignores whole words",
       {.Content = "годовой отчет", .SearchType = kPhrase, .Author = "Иванов", .WholeWord = true},
       Sql("((content Like \"*годовой отчет*\")) AND (author LIKE \"*Иванов*\")")},
      {"dates, sizes and types",
       {.Content = "налог",
        .DateFrom = "05.01.2002",
        .DateTo = "17.02.2002",
        .SizeMax = "2000000",
        .SizeMin = "10000",
        .WholeWord = true,
        .TypeChecked = {false, false, false, true, true}},  // doc, xls
       Sql("(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]налог[!A-zа-яА-Я]*\")) AND "
           "(modified >=#1/5/02#) AND (modified <=#2/17/02#) AND (filesize <=2000000) AND "
           "(filesize >=10000) AND ( (type = \"doc\") OR (type = \"xls\"))")},
      {"archives only, one type",
       {.ArchiveOnly = true, .TypeChecked = {true}},
       Sql(" (left(location,4)='arc:') AND ( (type = \"txt\"))")},
      {"nothing", {}, kEveryRow},
      {"the query language goes in as typed",
       {.Content = "Author LIKE \"*Петров*\" AND Filesize>0",
        .SearchType = kQueryLanguage,
        .Title = "ignored",
        .WholeWord = true},
       Sql("(Author LIKE \"*Петров*\" AND Filesize>0)")},
      {"quotes vanish from words only, empty terms stay",
       {.Content = "\"a'  b", .Title = "x\"y"},
       Sql("((  content  LIKE \"*a*\") OR (  content  LIKE \"**\") OR (  content  LIKE \"*b*\")) "
           "AND (title LIKE \"*x\"\"y*\")")},
      {"nothing left after the quotes", {.Content = "'\""}, kEveryRow},
      {"dates keep only the day and their century",
       {.DateFrom = "2002-02-17 13:45", .DateTo = "01.06.1950"},
       Sql(" (modified >=#2/17/02#) AND (modified <=#6/1/1950#)")},
      {"a date that is none", {.DateFrom = "someday"}, Sql(" (modified >=#someday#)")},
      // Typed fields cannot close their literals and widen the search.
      {"title",
       {.Title = "x\") OR (\"1\"=\"1"},
       Sql(" (title LIKE \"*x\"\") OR (\"\"1\"\"=\"\"1*\")")},
      {"sizes",
       {.SizeMax = " 2000 ", .SizeMin = "1) OR (1=1"},
       Sql(" (filesize <= 2000 ) AND (filesize >=#1) OR (1=1#)")},
      {"date", {.DateTo = "1/1/02# OR #1/1/02"}, Sql(" (modified <=#1/1/02 OR 1/1/02#)")},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildSearchSql(c.request), c.sql) << c.what;
}

TEST(BuildSearchSql, AllTypesButOneWriteAnOrList) {
  SearchRequest r;
  r.TypeChecked.fill(true);
  EXPECT_EQ(BuildSearchSql(r), kEveryRow) << "every type is no condition either";
  r.TypeChecked[6] = false;  // pdf
  const std::string sql = BuildSearchSql(r);
  EXPECT_EQ(sql.find("pdf"), std::string::npos);
  EXPECT_NE(sql.find("WHERE  ( (type = \"txt\") OR (type = \"wri\")"), std::string::npos);
  EXPECT_TRUE(sql.ends_with("(type = \"" + std::string(extract::SearchTypes().back()) + "\"))"));
  std::size_t ors = 0;
  for (std::size_t p = sql.find(" OR "); p != std::string::npos; p = sql.find(" OR ", p + 1)) ++ors;
  EXPECT_EQ(ors, static_cast<std::size_t>(extract::kSearchTypeCount) - 2);
}

TEST(BuildSearchSql, DatesKeepOnlyTheDayAndKeepTheirCentury) {
  SearchRequest r;
  r.DateFrom = "2002-02-17 13:45";
  r.DateTo = "01.06.1950";
  EXPECT_EQ(BuildSearchSql(r), Sql(" (modified >=#2/17/02#) AND (modified <=#6/1/1950#)"));
  r.DateFrom = "someday";
  r.DateTo.clear();
  EXPECT_EQ(BuildSearchSql(r), Sql(" (modified >=#someday#)"));
}

TEST(BuildSearchSql, TypedFieldsCannotCloseTheirLiterals) {
  SearchRequest r;
  r.Title = "x\") OR (\"1\"=\"1";
  EXPECT_EQ(BuildSearchSql(r), Sql(" (title LIKE \"*x\"\") OR (\"\"1\"\"=\"\"1*\")"));
  r = {};
  r.SizeMin = "1) OR (1=1";
  r.SizeMax = " 2000 ";
  EXPECT_EQ(BuildSearchSql(r), Sql(" (filesize <= 2000 ) AND (filesize >=#1) OR (1=1#)"));
  r = {};
  r.DateTo = "1/1/02# OR #1/1/02";
  EXPECT_EQ(BuildSearchSql(r), Sql(" (modified <=#1/1/02 OR 1/1/02#)"));
}

TEST(ConditionOf, CutsAfterWhere) {
  EXPECT_EQ(ConditionOf(Sql("(a)")), "(a)");
  EXPECT_EQ(ConditionOf("SELECT * FROM ContentIndex"), "");
}

}  // namespace
}  // namespace zyl::search
