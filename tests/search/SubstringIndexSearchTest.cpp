// A search narrowed by the substring index must list exactly the rows, in exactly the order, of
// the same statement scanning the whole table. Every way runs here over one generated set of
// documents: a database as an older version left it (no key, no index), a current one written
// in many small transactions (so its postings were merged, and rows deleted and edited after),
// and one whose earlier full-text index an update replaced.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <string>
#include <vector>

#include "catalog/DatabaseSink.h"
#include "catalog/FileInfo.h"
#include "db/Compiler.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/SubstringIndex.h"
#include "db/TrigramKeys.h"
#include "search/SearchRequest.h"
#include "support/TestSupport.h"

namespace zyl::search {
namespace {

// Words that meet the folding rules from every side: Russian with "ё", German "ß", the long s
// and the Kelvin sign (both fold to Latin letters), Greek final sigma, pattern characters.
const std::vector<std::string> kWords = {
    "Привет", "мир",         "ЁЛКА",        "ёлка",      "Елка",    "пессимизм", "ПЕССИМИЗМ",
    "конце",  "концов",      "pessimistic", "Straße",    "STRASSE", "ſun",       "sun",
    "SUN",    "\u212Aelvin", "kelvin",      "σίσυφος",   "ΣΊΣΥΦΟΣ", "ς",         "2024",
    "#1",     "a[b]c",       "x*y?z",       "don't",     "ab",      "abc",       "Abcd",
    "в",      "конец",       "document",    "DOCUMENTS", "naïve",   "NAÏVE",     "\xC0\xFFbad",
};
const std::vector<std::string> kSeparators = {" ", " ", " ", ", ", "\n", "-", ".", "\t", ""};

std::string RandomText(std::mt19937& rng) {
  std::uniform_int_distribution<std::size_t> count(0, 25), word(0, kWords.size() - 1),
      sep(0, kSeparators.size() - 1);
  std::string text;
  const std::size_t n = count(rng);
  for (std::size_t i = 0; i < n; ++i) text += kWords[word(rng)] + kSeparators[sep(rng)];
  return text;
}

// Code points of a UTF-8 word (all kWords but one are valid UTF-8; that one stays whole).
std::vector<std::string> Characters(const std::string& w) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < w.size();) {
    std::size_t n = 1;
    const auto c = static_cast<unsigned char>(w[i]);
    if (c >= 0xF0)
      n = 4;
    else if (c >= 0xE0)
      n = 3;
    else if (c >= 0xC2)
      n = 2;
    out.push_back(w.substr(i, n));
    i += n;
  }
  return out;
}

std::string Upper(const std::string& ch) {
  if (ch.size() == 1 && ch[0] >= 'a' && ch[0] <= 'z') return std::string(1, ch[0] - 32);
  if (ch == "ё") return "Ё";
  if (ch == "е") return "Е";
  if (ch == "к") return "К";
  return ch;
}

// A LIKE pattern from a piece of a word: its letter case changed, a character sometimes
// replaced by "?", "#" or a class, and the piece placed at the start, end or inside.
std::string RandomPattern(std::mt19937& rng) {
  std::uniform_int_distribution<std::size_t> word(0, kWords.size() - 1);
  std::uniform_int_distribution<int> die(0, 5);
  const std::vector<std::string> chars = Characters(kWords[word(rng)]);
  std::uniform_int_distribution<std::size_t> from(0, chars.size() - 1);
  const std::size_t a = from(rng);
  std::uniform_int_distribution<std::size_t> len(1, chars.size() - a);
  const std::size_t b = a + len(rng);
  std::string piece;
  for (std::size_t i = a; i < b; ++i) {
    std::string ch = chars[i];
    if (die(rng) < 2) ch = Upper(ch);
    if (ch == "*" || ch == "?" || ch == "#" || ch == "[") ch = "[" + ch + "]";
    const int what = die(rng);
    if (what == 0 && i > a) ch = "?";
    if (what == 1 && i > a && std::uniform_int_distribution<int>(0, 3)(rng) == 0)
      ch = "[" + ch + "q]";
    piece += ch;
  }
  if (die(rng) == 0) piece += "#";
  switch (die(rng)) {
    case 0:
      return piece + "*";
    case 1:
      return "*" + piece;
    case 2:
      return "*" + piece + " *";
    default:
      return "*" + piece + "*";
  }
}

// A condition of one to three LIKEs on the content, sometimes whole-word, sometimes negated,
// joined by AND and OR, now and then with a condition on another column.
std::string RandomCondition(std::mt19937& rng) {
  std::uniform_int_distribution<int> die(0, 5), parts(1, 3);
  std::string cond;
  const int n = parts(rng);
  for (int i = 0; i < n; ++i) {
    if (i) cond += die(rng) < 3 ? " AND " : " OR ";
    std::string raw = RandomPattern(rng);
    const std::string p = db::QuoteText(raw, '"');
    switch (die(rng)) {
      case 0: {
        // Whole word: the piece between the non-letter classes, over the padded text.
        while (!raw.empty() && raw.front() == '*') raw.erase(0, 1);
        while (!raw.empty() && raw.back() == '*') raw.pop_back();
        cond += "(\" \" + content + \" \") LIKE " +
                db::QuoteText("*[!A-zа-яА-Я]" + raw + "[!A-zа-яА-Я]*", '"');
        break;
      }
      case 1:
        cond += "NOT content LIKE " + p;
        break;
      case 2:
        cond += "(content LIKE " + p + " OR location LIKE \"*7*\")";
        break;
      default:
        cond += "content LIKE " + p;
    }
  }
  return cond;
}

// The rows as a search reads them (row by row) and as a recordset lists them must agree.
std::vector<std::string> Locations(db::Database& database, const std::string& sql) {
  std::vector<std::string> out, read;
  db::RowReader reader(database, sql);
  const int column = sql.starts_with("SELECT location") ? 0 : 3;
  while (reader.Next()) read.push_back(std::string(reader.Field(column).TextView()));
  db::Recordset rs = database.OpenRecordset(sql);
  if (rs.RecordCount() > 0)
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
      out.push_back(std::string(rs.Field("location").TextView()));
  EXPECT_EQ(out, read);
  return out;
}

class SubstringIndexSearchTest : public ::testing::Test {
 protected:
  SubstringIndexSearchTest() {
    // As an older version left it: no stable key, no substring index.
    sqlite3* raw = nullptr;
    sqlite3_open(scanned_.c_str(), &raw);
    sqlite3_exec(raw,
                 "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location TEXT, "
                 "type TEXT, modified TEXT, filesize INTEGER DEFAULT 0)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    db::Database::CreateEmpty(indexed_);
    // As the first versions with an index left it: a full-text table of the engine, which
    // searches pass by until an update replaces it.
    sqlite3_open(older_.c_str(), &raw);
    sqlite3_exec(raw,
                 "CREATE TABLE ContentIndex(id INTEGER PRIMARY KEY, title TEXT, author TEXT, "
                 "location TEXT, type TEXT, modified TEXT, filesize INTEGER DEFAULT 0, content "
                 "TEXT);"
                 "CREATE VIRTUAL TABLE ContentFts USING fts5(content, content='', detail=none, "
                 "columnsize=0, tokenize='trigram case_sensitive 1')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);

    std::mt19937 rng(20261207);
    std::vector<catalog::FileInfo> rows;
    for (int i = 0; i < 400; ++i) {
      catalog::FileInfo row;
      row.location = "/docs/" + std::to_string(i) + ".txt";
      row.type = "txt";
      row.modified = "2024-01-01";
      row.content = RandomText(rng);
      // Half the rows come with their keys found by the extraction thread, as a build writes
      // them; the writer finds them for the others.
      if (i % 2) row.trigramKeys = db::DistinctTrigramKeys(row.content);
      rows.push_back(row);
    }
    std::vector<std::string> edits;
    for (int i = 0; i < 20; ++i) edits.push_back(RandomText(rng));
    for (const std::string& path : {scanned_, indexed_, older_}) {
      {
        // Commits of a few rows each make dozens of segments, which pile up and are merged.
        catalog::DatabaseSink sink(path, path == indexed_ ? 7 : 300);
        for (const auto& row : rows) sink.AppendRow(row);
        sink.Commit();
      }
      // Deleted and edited rows must leave the index with them.
      db::Database database = db::Database::Open(path);
      database.Execute("DELETE * FROM ContentIndex WHERE location LIKE '*/1#.txt'");
      db::Recordset rs = database.OpenRecordset(
          "SELECT content, location FROM ContentIndex WHERE location LIKE '*/2#.txt'");
      std::size_t k = 0;
      for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        rs.Edit();
        rs.SetField("content", db::Value(edits.at(k++)));
        rs.Update();
      }
      db::Recordset one = database.OpenRecordset(
          "SELECT content, location FROM ContentIndex WHERE location = '/docs/30.txt'");
      one.Delete();
      if (path == older_) {
        EXPECT_FALSE(database.HasSubstringIndex());
        EXPECT_TRUE(database.AddSubstringIndex());
      }
    }
  }

  void ExpectSameRows(const std::string& sql) {
    db::Database scanned = db::Database::OpenReadOnly(scanned_);
    db::Database indexed = db::Database::OpenReadOnly(indexed_);
    db::Database older = db::Database::OpenReadOnly(older_);
    ASSERT_FALSE(scanned.HasSubstringIndex());
    ASSERT_TRUE(indexed.HasSubstringIndex());
    ASSERT_TRUE(older.HasSubstringIndex());
    ASSERT_FALSE(older.HasTable("ContentFts"));
    const auto expected = Locations(scanned, sql);
    EXPECT_EQ(Locations(indexed, sql), expected) << sql;
    EXPECT_EQ(Locations(older, sql), expected) << sql;
    if (!db::CompileStatement(sql).substringMatch.empty()) ++narrowed_;
  }

  test::TempDir dir_;
  std::string scanned_ = dir_.file("scanned.mdb");
  std::string indexed_ = dir_.file("indexed.mdb");
  std::string older_ = dir_.file("older.mdb");
  int narrowed_ = 0;
};

TEST_F(SubstringIndexSearchTest, GeneratedPatternsFindWhatTheScanFinds) {
  std::mt19937 rng(7);
  for (int i = 0; i < 300; ++i)
    ExpectSameRows("SELECT location FROM ContentIndex WHERE " + RandomCondition(rng));
  // Most of the statements were narrowed, so the comparison is not one scan against another.
  EXPECT_GT(narrowed_, 30);
}

TEST_F(SubstringIndexSearchTest, SearchFormsFindWhatTheScanFinds) {
  const std::vector<std::string> words = {
      "пессимизм", "ЁЛКА концов", "pessimistic sun", "в конце концов", "Kelvin",
      "strasse",   "ab abc",      "ssimi",           "ΣΊΣΥΦΟΣ",        "nowhere-to-be-found"};
  for (const std::string& w : words)
    for (std::int16_t type : {kAnyWord, kAllWords, kPhrase})
      for (bool whole : {false, true}) {
        SearchRequest r;
        r.Content = w;
        r.SearchType = type;
        r.WholeWord = whole;
        r.DateFrom = "01.01.2020";
        ExpectSameRows(BuildSearchSql(r));
      }
  EXPECT_GT(narrowed_, 40);
}

TEST_F(SubstringIndexSearchTest, PatternsWithAZeroCharacterStillSearch) {
  // A zero character can arrive in a pattern typed into the server's form (%00).
  ExpectSameRows(std::string("SELECT location FROM ContentIndex WHERE content LIKE \"*ab") + '\0' +
                 "c*\" OR content LIKE \"*pessimi*\"");
  ExpectSameRows(std::string("SELECT location FROM ContentIndex WHERE content LIKE \"*pes") + '\0' +
                 "simi*\"");
}

// The expression names the keys of three code points each, folded as LIKE folds them.
std::string Key(char32_t a, char32_t b, char32_t c) {
  return std::to_string(db::TrigramKeyOf(a, b, c));
}

TEST(SubstringMatchTest, OnlyConditionsThatImplyTheTrigramsNarrow) {
  auto match = [](const std::string& where) {
    return db::CompileStatement("SELECT location FROM ContentIndex WHERE " + where).substringMatch;
  };
  const std::string abc = Key('a', 'b', 'c');
  EXPECT_EQ(match("content LIKE '*AbC*'"), abc);
  EXPECT_EQ(match("content LIKE '*ab?d*'"), "");  // no run of three
  EXPECT_EQ(match("NOT content LIKE '*abc*'"), "");
  EXPECT_EQ(match("title LIKE '*abc*'"), "");
  EXPECT_EQ(match("LCase(content) LIKE '*abc*'"), "");
  EXPECT_EQ(match("content LIKE '*abc*' OR content LIKE '*de*'"), "");
  EXPECT_EQ(match("content LIKE '*abc*' AND content LIKE '*de*'"), "(" + abc + ")");
  EXPECT_EQ(match("content LIKE '*abc*' OR content LIKE '*xyz*'"),
            "(" + abc + ") OR (" + Key('x', 'y', 'z') + ")");
  // The blanks around a whole-word text are not in the index.
  EXPECT_EQ(match("(\" \" + content + \" \") LIKE '* ab *'"), "");
  EXPECT_EQ(match("(\" \" + content + \" \") LIKE '* abc *'"), abc);
  // Keys come in ascending order: "лка" before "ёлк".
  EXPECT_EQ(match("content LIKE '*ЁлКА*'"),
            Key(U'л', U'к', U'а') + " AND " + Key(U'ё', U'л', U'к'));
}

}  // namespace
}  // namespace zyl::search
