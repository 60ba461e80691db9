// The small parts the dialect is built from: tokens, number texts, value conversions.
#include <gtest/gtest.h>

#include "db/Compiler.h"
#include "db/Errors.h"
#include "db/Lexer.h"
#include "db/SqlFunctions.h"
#include "db/Value.h"

namespace zyl::db {
namespace {

TEST(Lexer, ReadsEachKindOfToken) {
  const auto t =
      Tokenize("[Content Index].x 'it''s' \"say \"\"hi\"\"\" 12 1.5e3 .5 #1/5/02# <> <= >= & \\ ;");
  std::vector<Tok> kinds;
  for (const Token& token : t) kinds.push_back(token.kind);
  EXPECT_EQ(kinds,
            (std::vector<Tok>{Tok::BracketName, Tok::Dot, Tok::Name, Tok::String, Tok::String,
                              Tok::Integer, Tok::Real, Tok::Real, Tok::Date, Tok::Ne, Tok::Le,
                              Tok::Ge, Tok::Amp, Tok::Backslash, Tok::Semicolon, Tok::End}));
  ASSERT_EQ(t.size(), 16u);
  EXPECT_EQ(t[0].text, "Content Index");
  EXPECT_EQ(t[3].text, "it's");
  EXPECT_EQ(t[4].text, "say \"hi\"");
  EXPECT_EQ(t[5].integer, 12);
  EXPECT_DOUBLE_EQ(t[6].real, 1500);
  EXPECT_DOUBLE_EQ(t[7].real, 0.5);
  EXPECT_EQ(t[8].text, "1/5/02");
  // Cyrillic names are names; a number too large for 64 bits becomes a real.
  EXPECT_EQ(Tokenize("Тема")[0].kind, Tok::Name);
  EXPECT_EQ(Tokenize("99999999999999999999")[0].kind, Tok::Real);
  EXPECT_EQ(Tokenize("x\r\n\ty")[1].offset, 4u);
}

TEST(Lexer, RefusesWhatCannotStartAToken) {
  for (const char* bad : {"'open", "\"open", "[open", "#1/5/02", "a ! b", "a ` b", "1.2.3", "5x",
                          "[]", "[a[b]", "a \x01 b", "\xFF\xFE"})
    EXPECT_THROW(Tokenize(bad), SqlError) << bad;
  try {
    Tokenize("title = \"Жук");
    FAIL();
  } catch (const SqlError& e) {
    EXPECT_EQ(e.position(), 9u);
    EXPECT_STREQ(e.what(), "position 9: text in quotes is not closed");
  }
}

TEST(Values, TextFormsOfNumbers) {
  EXPECT_EQ(FormatNumber(5), "5");
  EXPECT_EQ(FormatNumber(-0.0), "0");
  EXPECT_EQ(FormatNumber(2.5), "2.5");
  EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatNumber(1e20), "1E+20");
  EXPECT_EQ(FormatNumber(1.5e-7), "1.5E-07");
  EXPECT_EQ(Value(4147483649LL).AsText(), "4147483649");
  EXPECT_EQ(Value(" 12abc").AsInt(), 12);
  EXPECT_EQ(Value().AsText(), "");
  EXPECT_TRUE(Value().IsNull());
  EXPECT_EQ(Value("x"), Value(std::string("x")));
  EXPECT_FALSE(Value(1) == Value(1.0));
}

TEST(Values, NumbersReadFromText) {
  EXPECT_EQ(ParseNumberText(" 12 "), 12);
  EXPECT_EQ(ParseNumberText("-1.5e2"), -150);
  EXPECT_EQ(ParseNumberText("&HFF"), 255);
  EXPECT_EQ(ParseNumberText("&O17"), 15);
  for (const char* bad : {"", " ", "12a", "1e", "--1", "&H", "&HZZ", "1 2", "."})
    EXPECT_FALSE(ParseNumberText(bad)) << bad;
}

TEST(Values, FormatsOfNumbersAndDates) {
  EXPECT_EQ(FormatNumberValue(1234.5, "#,##0.00"), "1,234.50");
  EXPECT_EQ(FormatNumberValue(0.5, "#.##"), ".5");
  EXPECT_EQ(FormatNumberValue(-1234.5, "0"), "-1234");  // halves go to even
  EXPECT_EQ(FormatNumberValue(0, "0;-0;\"zero\""), "zero");
  EXPECT_EQ(FormatNumberValue(12345, "0.00E+00"), "1.23E+04");
  EXPECT_EQ(FormatNumberValue(7, "\"No. \"0"), "No. 7");
  EXPECT_EQ(FormatNumberValue(1, "Yes/No"), "Yes");
  EXPECT_EQ(FormatNumberValue(0.125, "Percent"), "12.50%");
  const DateTimeParts p{2002, 2, 7, 15, 4, 9};
  EXPECT_EQ(FormatDateValue(p, "d/m/yy", 1), "7/2/02");
  EXPECT_EQ(FormatDateValue(p, "hh:mm:ss", 1), "15:04:09");  // minutes after hours
  EXPECT_EQ(FormatDateValue(p, "h:nn am/pm", 1), "3:04 pm");
  EXPECT_EQ(FormatDateValue(p, "ddd, mmm d", 1), "Thu, Feb 7");
  EXPECT_EQ(FormatDateValue(p, "\\d\\a\\y y, q", 1), "day 38, 1");
  EXPECT_EQ(FormatDateValue(p, "General Date", 1), "07.02.2002 15:04:09");
  EXPECT_EQ(FormatDateValue(p, "Long Date", 1), "7 February 2002");
}

TEST(Compiler, QuotesTextForStatements) {
  EXPECT_EQ(QuoteText("o'brien"), "'o''brien'");
  EXPECT_EQ(QuoteText("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  const CompiledCondition c = CompileCondition("location = " + QuoteText("/a/o'b c.txt"));
  ASSERT_EQ(c.params.size(), 1u);
  EXPECT_EQ(c.params[0].AsText(), "/a/o'b c.txt");
}

TEST(Compiler, WholeWordSearchReadsTheTextInPlace) {
  // The padded form becomes one call over the column, not a built text.
  const CompiledCondition c =
      CompileCondition("\" \"+ content +\" \" LIKE \"*[!A-zа-яА-Я]tax[!A-zа-яА-Я]*\"");
  EXPECT_EQ(c.sql.rfind("zyl_like_padded(\"content\"", 0), 0u) << c.sql;
  EXPECT_EQ(c.sql.find("||"), std::string::npos);
  const CompiledCondition plain = CompileCondition("content LIKE '*tax*'");
  EXPECT_EQ(plain.sql, "zyl_like(\"content\", ?1)");
  // A number is no text: " " + filesize + " " is a sum, and a blank is no number.
  EXPECT_THROW(CompileCondition("\" \" + filesize + \" \" LIKE '*1*'"), SqlError);
  EXPECT_EQ(
      CompileCondition("\" \" & filesize & \" \" LIKE '* 1 *'").sql.rfind("zyl_like_padded", 0),
      0u);
}

}  // namespace
}  // namespace zyl::db
