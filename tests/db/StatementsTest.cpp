// The statements the program itself writes: the index database's statement catalogue, the
// search statements of the search form, the fragments of the query builder and the server's
// location filter, each run on a small database.
#include <gtest/gtest.h>

#include "DbTestUtil.h"
#include "db/Compiler.h"

namespace zyl::db::test {
namespace {

const char* const kHead =
    "SELECT title, author, content, location, type, modified, filesize FROM ContentIndex WHERE ";

std::vector<Doc> Sample() {
  return {
      {"План продаж", "Иванов", "Годовой отчет и бюджет на 2002 год", "/docs/plan.doc", "doc",
       "2002-01-05 10:00:00", 15000},
      {"Budget", "Петров", "Налог на прибыль. ОТЧЕТ", "/docs/budget.xls", "xls",
       "2002-02-17 10:00:00", 2500000},
      {"readme", "", "отчетность налоговая", "arc:/docs/old.zip//readme.txt", "txt", "2002-02-17",
       500},
      {"Letter", "Petrov", "налог", "/mail/inbox/123", "mail_oe", "2001-12-31 23:59:59", 10000},
      {"Tax", "Сидоров", "Уплачен налог.", "/docs/tax.doc", "doc", "2002-02-17", 10000},
      {"Tax late", "Сидоров", "Уплачен налог.", "/docs/tax2.doc", "doc", "2002-02-17 10:00:00",
       10000},
      {"Empty", std::nullopt, std::nullopt, "/docs/empty.txt", "txt", "2002-01-10", std::nullopt},
      {"", "Anon", "", "/docs/blank.txt", "txt", "2002-03-01", 0},
  };
}

TEST(Statements, SearchStatementsOfTheSearchForm) {
  SampleDb s(Sample());
  // Any word, two words, a title.
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "((  content  LIKE \"*отчет*\") OR (  content  LIKE \"*бюджет*\")) AND "
                     "(title LIKE \"*план*\")"),
            Titles({"План продаж"}));
  // All words as whole words: "отчетность" is not the word "отчет".
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]отчет[!A-zа-яА-Я]*\") AND ( \" "
                     "\"+ content +\" \" LIKE \"*[!A-zа-яА-Я]бюджет[!A-zа-яА-Я]*\"))"),
            Titles({"План продаж"}));
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]отчет[!A-zа-яА-Я]*\"))"),
            Titles({"План продаж", "Budget"}));
  // Whole phrase with an author.
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "((content Like \"*годовой отчет*\")) AND (author LIKE \"*Иванов*\")"),
            Titles({"План продаж"}));
  // Dates, sizes and types together; #2/17/02# is midnight, so a document of 10:00 that day
  // is later than it.
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]налог[!A-zа-яА-Я]*\")) AND "
                     "(modified >=#1/5/02#) AND (modified <=#2/17/02#) AND (filesize <=2000000) "
                     "AND (filesize >=10000) AND ( (type = \"doc\") OR (type = \"xls\"))"),
            Titles({"Tax"}));
  // Archives only, one type.
  EXPECT_EQ(s.Column(std::string(kHead) + " (left(location,4)='arc:') AND ( (type = \"txt\"))"),
            Titles({"readme"}));
  // Nothing at all: every row, in database order.
  EXPECT_EQ(s.Column("SELECT title, author, content, location, type, modified, filesize FROM "
                     "ContentIndex   ")
                .size(),
            8u);
  // Query language as typed.
  EXPECT_EQ(s.Column(std::string(kHead) + "(Author LIKE \"*Петров*\" AND Filesize>0)"),
            Titles({"Budget"}));
}

TEST(Statements, EmptyTermsOfTheSearchForm) {
  SampleDb s(Sample());
  // Two blanks between words give an empty term "**", which meets every non-null content.
  EXPECT_EQ(
      s.Column(std::string(kHead) + "((  content  LIKE \"*zzz*\") OR (  content  LIKE \"**\"))")
          .size(),
      7u);
  // The whole-word form of an empty term needs two non-letters in a row.
  EXPECT_EQ(s.Column(std::string(kHead) +
                     "(( \" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я][!A-zа-яА-Я]*\"))"),
            Titles({"План продаж", "Budget", "Tax", "Tax late", ""}));
}

TEST(Statements, CatalogueOfTheIndexDatabase) {
  SampleDb s(Sample());
  Database& db = s.db();
  {
    Recordset rs = db.OpenRecordset("ContentIndex");
    EXPECT_EQ(rs.FieldCount(), 7);
    EXPECT_EQ(rs.FieldName(6), "filesize");
    rs.MoveLast();
    EXPECT_EQ(rs.RecordCount(), 8);
  }
  {
    Recordset rs = db.OpenRecordset("SELECT location FROM ContentIndex");
    rs.MoveLast();
    EXPECT_EQ(rs.RecordCount(), 8);
    EXPECT_EQ(rs.Field(0).AsText(), "/docs/blank.txt");
  }
  {
    Recordset rs = db.OpenRecordset(
        "SELECT DISTINCTROW Sum([ContentIndex].[filesize]) AS [Sum_filesize] FROM ContentIndex;");
    rs.MoveLast();
    rs.MoveFirst();
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field("Sum_filesize").AsText(), "2545500");
  }
  EXPECT_EQ(s.Column("SELECT location FROM ContentIndex WHERE left(type,4)<>'mail' AND "
                     "left(location,4)<>'arc:'",
                     "location"),
            Titles({"/docs/plan.doc", "/docs/budget.xls", "/docs/tax.doc", "/docs/tax2.doc",
                    "/docs/empty.txt", "/docs/blank.txt"}));
  {
    Recordset rs = db.OpenRecordset(
        "SELECT content, modified, location FROM ContentIndex WHERE left(type,4)<>'mail' AND "
        "left(location,4)<>'arc:'");
    EXPECT_EQ(rs.FieldName(0), "content");
    EXPECT_EQ(rs.Field(1).AsText(), "2002-01-05 10:00:00");
    EXPECT_EQ(rs.Field(2).AsText(), "/docs/plan.doc");
  }
  EXPECT_EQ(s.Column("SELECT content,modified, location FROM ContentIndex WHERE "
                     "location='arc:/docs/old.zip//readme.txt'",
                     "content"),
            Titles({"отчетность налоговая"}));
  EXPECT_EQ(s.Column("SELECT location FROM ContentIndex WHERE left(location,4)='arc:'", "location"),
            Titles({"arc:/docs/old.zip//readme.txt"}));
  EXPECT_EQ(db.Execute("DELETE * FROM ContentIndex WHERE type='mail_moz'"), 0);
  EXPECT_EQ(db.Execute("DELETE * FROM ContentIndex WHERE type='mail_oe'"), 1);
  EXPECT_EQ(s.Column("ContentIndex").size(), 7u);
  EXPECT_EQ(db.Execute("DELETE * FROM ContentIndex"), 7);
  Recordset empty = db.OpenRecordset("SELECT location FROM ContentIndex");
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  Recordset sum = db.OpenRecordset(
      "SELECT DISTINCTROW Sum([ContentIndex].[filesize]) AS [Sum_filesize] FROM ContentIndex;");
  EXPECT_TRUE(sum.Field("Sum_filesize").IsNull());
}

TEST(Statements, SizeTotalsPastThirtyTwoBits) {
  SampleDb s({{"a", "", "", "/a", "txt", "2002-01-01", 2000000000},
              {"b", "", "", "/b", "txt", "2002-01-01", 2000000000},
              {"c", "", "", "/c", "txt", "2002-01-01", 147483649}});
  Recordset rs = s.db().OpenRecordset(
      "SELECT DISTINCTROW Sum([ContentIndex].[filesize]) AS [Sum_filesize] FROM ContentIndex;");
  EXPECT_EQ(rs.Field(0).AsText(), "4147483649");
}

TEST(Statements, LocationFilterOfTheDocumentServer) {
  SampleDb s(Sample());
  Recordset table = s.db().OpenRecordset("ContentIndex");
  EXPECT_EQ(table.Filter("Location = '/docs/tax.doc'").RecordCount(), 1);
  EXPECT_TRUE(table.Filter("Location = '/docs/TAX.doc'").Bof());  // locations compare exactly
  EXPECT_TRUE(table.Filter("Location = '/etc/passwd'").Bof());
  // An apostrophe in the location breaks the text as written; quoted properly it is one value.
  EXPECT_THROW(table.Filter("Location = '/docs/o'brien.txt'"), SqlError);
  EXPECT_TRUE(table.Filter("Location = " + QuoteText("/docs/o'brien.txt")).Bof());
  EXPECT_TRUE(table.Filter("Location = " + QuoteText("' OR '1'='1")).Bof());
}

TEST(Statements, FragmentsOfTheQueryBuilder) {
  SampleDb s(Sample());
  EXPECT_EQ(s.Where("Content LIKE \"**\" ").size(), 7u);
  EXPECT_EQ(s.Where("Content =\"\" "), Titles({""}));
  EXPECT_EQ(s.Where("Author LIKE \"**\" ").size(), 7u);
  EXPECT_EQ(s.Where("Author = \"\" "), Titles({"readme"}));
  EXPECT_EQ(s.Where("Title LIKE \"**\" ").size(), 8u);
  EXPECT_EQ(s.Where("Title = \"\" "), Titles({""}));
  EXPECT_EQ(s.Where("Location LIKE \"*readme*\" "), Titles({"readme"}));
  EXPECT_EQ(s.Where("Location = \"\" ").size(), 0u);
  // The builder writes today's date day first; a first number above 12 is read as the day.
  EXPECT_EQ(s.Where("Modified>#17/2/2002# "), Titles({"Budget", "Tax late", ""}));
  EXPECT_EQ(s.Where("Modified=#17/2/2002# "), Titles({"readme", "Tax"}));
  EXPECT_EQ(s.Where("Modified<#1/1/2002# "), Titles({"Letter"}));
  EXPECT_EQ(s.Where("Filesize>0 ").size(), 6u);
  EXPECT_EQ(s.Where("Filesize<0 ").size(), 0u);
  EXPECT_EQ(s.Where("Filesize=0 "), Titles({""}));
  EXPECT_EQ(s.Where("Type=\"xls\" "), Titles({"Budget"}));
  EXPECT_EQ(s.Where("Type=\"mail_oe\" "), Titles({"Letter"}));
  // Operator buttons put together.
  EXPECT_EQ(s.Where("( Filesize> 10000 AND NOT Type=\"xls\" ) OR Title LIKE \"*Let*\" "),
            Titles({"План продаж", "Letter"}));
  EXPECT_EQ(s.Where("Filesize / 2 = 250 "), Titles({"readme"}));
  EXPECT_EQ(s.Where("Filesize * 2 - 1000 = 0 "), Titles({"readme"}));
  EXPECT_EQ(s.Where("Filesize + 1 = 501 "), Titles({"readme"}));
  EXPECT_EQ(s.Where("Filesize <> 10000 AND Filesize < 15000 "), Titles({"readme", ""}));
  // Character sets.
  EXPECT_EQ(s.Where("Title LIKE \"*[а-я,А-Я] *\" "), Titles({"План продаж"}));
  EXPECT_EQ(s.Where("Title LIKE \"*[a-z,A-Z] *\" "), Titles({"Tax late"}));
  EXPECT_EQ(s.Where("Content LIKE \"*[0-9] *\" "), Titles({"План продаж"}));
  EXPECT_EQ(s.Where("Content LIKE \"*[.,:;] *\" "), Titles({"Budget"}));
  EXPECT_EQ(s.Where("Title LIKE \"Tax[] *\" "), Titles({"Tax late"}));
  // A condition over several lines reaches the search as one line either way.
  EXPECT_EQ(s.Where("Type=\"doc\"\r\nAND Filesize>10000"), Titles({"План продаж"}));
}

TEST(Statements, CatalogueEntriesMustBeFilledIn) {
  SampleDb s(Sample());
  // The syntax line goes in with its placeholders; until they are replaced the text is refused.
  Recordset table = s.db().OpenRecordset("ContentIndex");
  try {
    table.Filter("Left («stringexpr»,«n») = \"a\"");
    FAIL();
  } catch (const SqlError& e) {
    EXPECT_EQ(e.position(), 7u);
    EXPECT_NE(e.reason().find("«stringexpr»"), std::string::npos);
  }
  EXPECT_EQ(s.Where("Left (Title,3) = \"Tax\" "), Titles({"Tax", "Tax late"}));
}

TEST(Statements, QuotesInPatternsStayInsideOrAreRefused) {
  SampleDb s({{"x\") OR (\"1\"=\"1", "", "", "/a", "txt", "2002-01-01", 1},
              {"other", "", "", "/b", "txt", "2002-01-01", 1},
              {"endsx", "", "", "/c", "txt", "2002-01-01", 1}});
  // The pattern pasted as it is: the quote closes the text early. What follows is read as
  // the statement says, and the comparison "1"="1*" is false, so no row beyond the title
  // condition comes back.
  EXPECT_EQ(s.Where("(title LIKE \"*x\") OR (\"1\"=\"1*\")"), Titles({"endsx"}));
  // A pasted "OR (...)" with a text as a condition is refused outright.
  EXPECT_THROW(s.Where("(title LIKE \"*x\") OR (\"1\") OR (\"*\")"), SqlError);
  // With the quotes doubled, as a statement writer must do, the text is one pattern.
  EXPECT_EQ(s.Where("(title LIKE \"*x\"\") OR (\"\"1\"\"=\"\"1*\")"),
            Titles({"x\") OR (\"1\"=\"1"}));
  EXPECT_EQ(s.Where("(title LIKE " + QuoteText("*x\") OR (\"1\"=\"1*", '"') + ")"),
            Titles({"x\") OR (\"1\"=\"1"}));
  // Statement separators and other statements never get through.
  EXPECT_THROW(s.Where("title = 'a'; DELETE * FROM ContentIndex"), SqlError);
  EXPECT_THROW(s.Where("title = 'a' UNION SELECT * FROM ContentIndex"), SqlError);
  EXPECT_THROW(s.Where("title IN (SELECT title FROM ContentIndex)"), SqlError);
  EXPECT_EQ(s.Column("ContentIndex").size(), 3u);
}

}  // namespace
}  // namespace zyl::db::test
