#include <gtest/gtest.h>

#include "extract/DocumentTypes.h"
#include "search/SearchRequest.h"

namespace zyl::search {
namespace {

constexpr const char* kHead =
    "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex WHERE ";

std::string Sql(std::string_view condition) {
  return std::string(kHead) + std::string(condition);
}

TEST(BuildSearchSql, AnyWordWithTitle) {
  SearchRequest r;
  r.Content = "отчет бюджет";
  r.Title = "план";
  EXPECT_EQ(BuildSearchSql(r), Sql("((  content  LIKE \"*отчет*\") OR (  content  LIKE "
                                   "\"*бюджет*\")) AND (title LIKE \"*план*\")"));
}

TEST(BuildSearchSql, AllWordsWholeWord) {
  SearchRequest r;
  r.Content = "отчет бюджет";
  r.SearchType = kAllWords;
  r.WholeWord = true;
  EXPECT_EQ(BuildSearchSql(r),
            Sql("(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]отчет[!A-zа-яА-Я]*\") AND ( \" \"+ "
                "content +\" \" LIKE \"*[!A-zа-яА-Я]бюджет[!A-zа-яА-Я]*\"))"));
}

TEST(BuildSearchSql, PhraseIgnoresWholeWord) {
  SearchRequest r;
  r.Content = "годовой отчет";
  r.SearchType = kPhrase;
  r.WholeWord = true;
  r.Author = "Иванов";
  EXPECT_EQ(BuildSearchSql(r),
            Sql("((content Like \"*годовой отчет*\")) AND (author LIKE \"*Иванов*\")"));
}

TEST(BuildSearchSql, DatesSizesAndTypes) {
  SearchRequest r;
  r.Content = "налог";
  r.WholeWord = true;
  r.DateFrom = "05.01.2002";
  r.DateTo = "17.02.2002";
  r.SizeMin = "10000";
  r.SizeMax = "2000000";
  r.TypeChecked[3] = true;  // doc
  r.TypeChecked[4] = true;  // xls
  EXPECT_EQ(BuildSearchSql(r),
            Sql("(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]налог[!A-zа-яА-Я]*\")) AND "
                "(modified >=#1/5/02#) AND (modified <=#2/17/02#) AND (filesize <=2000000) AND "
                "(filesize >=10000) AND ( (type = \"doc\") OR (type = \"xls\"))"));
}

TEST(BuildSearchSql, ArchivesOnlyWithOneType) {
  SearchRequest r;
  r.ArchiveOnly = true;
  r.TypeChecked[0] = true;
  EXPECT_EQ(BuildSearchSql(r), Sql(" (left(location,4)='arc:') AND ( (type = \"txt\"))"));
}

TEST(BuildSearchSql, NothingSelectsEveryRow) {
  SearchRequest r;
  EXPECT_EQ(
      BuildSearchSql(r),
      "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex   ");
  r.TypeChecked.fill(true);  // every type: no condition either
  EXPECT_EQ(
      BuildSearchSql(r),
      "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex   ");
}

TEST(BuildSearchSql, QueryLanguageGoesInAsTyped) {
  SearchRequest r;
  r.SearchType = kQueryLanguage;
  r.Content = "Author LIKE \"*Петров*\" AND Filesize>0";
  r.Title = "ignored";
  r.WholeWord = true;
  EXPECT_EQ(BuildSearchSql(r), Sql("(Author LIKE \"*Петров*\" AND Filesize>0)"));
}

TEST(BuildSearchSql, QuotesVanishFromWordsOnlyAndEmptyTermsStay) {
  SearchRequest r;
  r.Content = "\"a'  b";
  r.Title = "x\"y";
  EXPECT_EQ(BuildSearchSql(r), Sql("((  content  LIKE \"*a*\") OR (  content  LIKE \"**\") OR "
                                   "(  content  LIKE \"*b*\")) AND (title LIKE \"*x\"\"y*\")"));
  r.Content = "'\"";  // nothing left after quote removal: no content condition
  r.Title.clear();
  EXPECT_EQ(
      BuildSearchSql(r),
      "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex   ");
}

TEST(BuildSearchSql, AllTypesButOneWriteAnOrList) {
  SearchRequest r;
  r.TypeChecked.fill(true);
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
