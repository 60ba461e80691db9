// The substring index's own parts: the keys of a text, the stored lists and blocks, the
// segments a database keeps, and the candidate expressions, read from a second connection as
// a search reads them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "db/Database.h"
#include "db/Errors.h"
#include "db/Recordset.h"
#include "db/SubstringIndex.h"
#include "db/TrigramIndex.h"
#include "db/TrigramKeys.h"
#include "db/TrigramPostings.h"
#include "support/TestSupport.h"

namespace zyl::db {
namespace {

using Rows = std::vector<std::int64_t>;

// Every window of three code points, found the plain way.
std::set<TrigramKey> Windows(std::string_view text) {
  std::vector<char32_t> cps;
  for (std::size_t pos = 0; pos < text.size();)
    cps.push_back(base::FoldCodePoint(base::DecodeUtf8At(text, pos)));
  std::set<TrigramKey> out;
  for (std::size_t i = 0; i + 2 < cps.size(); ++i)
    out.insert(TrigramKeyOf(cps[i], cps[i + 1], cps[i + 2]));
  return out;
}

std::string RandomText(std::mt19937& rng, std::size_t pieces) {
  static const std::vector<std::string> kPieces = {
      "a", "B", "c", "Ж", "ж", "ё", "Ё", "ß", "\u212A", "😀", "\xC0", "\xFF", std::string(1, '\0'),
      " ", "x", "Y", "z", "я", "Σ", "ς"};
  std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[pick(rng)];
  return text;
}

TEST(TrigramKeysTest, KeysAreTheDistinctWindowsOfAnyText) {
  std::mt19937 rng(11);
  // From nothing to texts whose distinct windows outgrow the set's first table many times over.
  for (std::size_t pieces : {0, 1, 2, 3, 4, 50, 3000, 120000}) {
    const std::string text = RandomText(rng, pieces);
    const std::vector<TrigramKey> keys = DistinctTrigramKeys(text);
    const std::set<TrigramKey> unique(keys.begin(), keys.end());
    EXPECT_EQ(unique.size(), keys.size()) << pieces;
    EXPECT_EQ(unique, Windows(text)) << pieces;
  }
  // Letter case does not count, as in LIKE.
  const auto upper = DistinctTrigramKeys("ПЕССИМИЗМ Straße");
  const auto lower = DistinctTrigramKeys("пессимизм STRAßE");
  EXPECT_EQ(std::set<TrigramKey>(upper.begin(), upper.end()),
            std::set<TrigramKey>(lower.begin(), lower.end()));
}

TEST(TrigramPostingsTest, ListsAndBlocksReadBackAndDamageStopsCleanly) {
  std::mt19937_64 rng(5);
  BlockWriter writer;
  std::vector<std::pair<TrigramKey, std::string>> entries;
  std::vector<std::pair<TrigramKey, std::string>> blocks;
  TrigramKey key = 0;
  for (int i = 0; i < 400; ++i) {
    // Lists of every length, with steps of one row up to steps of a billion.
    Rows rows;
    std::int64_t row = 0;
    const int n = static_cast<int>(rng() % 300);
    for (int k = 0; k < n; ++k)
      rows.push_back(row += 1 + static_cast<std::int64_t>(rng() % (k % 7 ? 9 : 1u << 30)));
    std::string list;
    EncodeRowList(rows, list);
    Rows back;
    DecodeRowList(list, back);
    ASSERT_EQ(back, rows);
    key += 1 + rng() % 100000;
    entries.emplace_back(key, list);
    if (writer.Empty()) blocks.emplace_back(key, "");
    writer.Add(key, list);
    if (writer.Full() || i == 399) blocks.back().second = writer.Take();
  }
  ASSERT_GT(blocks.size(), 3u);
  std::size_t next = 0;
  for (const auto& [first, block] : blocks) {
    BlockEntries read(block, first);
    TrigramKey k = 0;
    std::string_view list;
    while (read.Next(k, list)) {
      ASSERT_LT(next, entries.size());
      EXPECT_EQ(k, entries[next].first);
      EXPECT_EQ(list, entries[next].second);
      ++next;
    }
  }
  EXPECT_EQ(next, entries.size());

  // Lists of rows that follow each other join with a zero between them; a joined list whose
  // rows do not follow ends where they stop ascending.
  std::string early, late;
  EncodeRowList({3, 9, 10}, early);
  EncodeRowList({11, 400}, late);
  Rows joined;
  DecodeRowList(early + '\0' + late, joined);
  EXPECT_EQ(joined, (Rows{3, 9, 10, 11, 400}));
  joined.clear();
  DecodeRowList(late + '\0' + early, joined);
  EXPECT_EQ(joined, (Rows{11, 400}));

  // A block cut anywhere gives a prefix of its entries, and a list of any bytes gives rows that
  // still ascend.
  const auto& [first, block] = blocks.front();
  for (std::size_t cut = 0; cut < block.size(); cut += 7) {
    BlockEntries read(std::string_view(block).substr(0, cut), first);
    TrigramKey k = 0;
    std::string_view list;
    std::size_t n = 0;
    while (read.Next(k, list)) EXPECT_EQ(k, entries[n++].first);
  }
  for (int i = 0; i < 200; ++i) {
    std::string bytes(rng() % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    Rows rows;
    DecodeRowList(bytes, rows);
    for (std::size_t k = 0; k < rows.size(); ++k) ASSERT_GT(rows[k], k ? rows[k - 1] : 0);
  }
}

// An index database written through recordsets, and a second, read-only connection to it that
// sees only what was committed.
class TrigramIndexTest : public ::testing::Test {
 protected:
  TrigramIndexTest() : db_(Database::CreateEmpty(dir_.file("index.mdb"))) {}
  ~TrigramIndexTest() override { sqlite3_close(reader_); }

  // Adds a row whose content is `text`; returns its number.
  std::int64_t Add(const std::string& text) {
    Recordset rs = db_.OpenRecordset("ContentIndex");
    rs.AddNew();
    rs.SetField("content", Value(text));
    rs.SetField("location", Value("/" + std::to_string(++added_)));
    rs.Update();
    rs.MoveLast();
    return rs.RowId();
  }
  sqlite3* Reader() {
    if (!reader_) {
      sqlite3_open_v2(dir_.file("index.mdb").c_str(), &reader_, SQLITE_OPEN_READONLY, nullptr);
      RegisterCandidateTable(reader_);
    }
    return reader_;
  }
  Rows Lookup(std::string_view three) {
    std::vector<char32_t> cps;
    for (std::size_t pos = 0; pos < three.size();) cps.push_back(NextFoldedCodePoint(three, pos));
    return TrigramLookup(Reader()).Rows(TrigramKeyOf(cps.at(0), cps.at(1), cps.at(2)));
  }

  test::TempDir dir_;
  Database db_;
  sqlite3* reader_ = nullptr;
  int added_ = 0;
};

TEST_F(TrigramIndexTest, CommittedRowsAreIndexedHoweverTheyWereWritten) {
  // On its own: the row's savepoint is the transaction.
  const std::int64_t alone = Add("alone here");
  EXPECT_EQ(Lookup("alo"), Rows{alone});
  {
    Transaction tx(db_);
    Add("rolled back");
  }  // not committed
  EXPECT_TRUE(Lookup("rol").empty());
  std::int64_t later = 0;
  {
    Transaction tx(db_);
    later = Add("alongside");
    // An edit of an earlier row in the same transaction, which comes after it by number.
    Recordset rs = db_.OpenRecordset("SELECT content FROM ContentIndex WHERE location = '/1'");
    rs.Edit();
    rs.SetField("content", Value("ALONGside again"));
    rs.Update();
    EXPECT_TRUE(Lookup("ngs").empty());  // nothing is seen before the commit
    tx.Commit();
  }
  EXPECT_EQ(Lookup("alo"), (Rows{alone, later}));
  EXPECT_EQ(Lookup("ngs"), (Rows{alone, later}));
  EXPECT_EQ(Lookup("gai"), Rows{alone});
  // Emptying the table empties the index.
  db_.Execute("DELETE * FROM ContentIndex");
  EXPECT_TRUE(Lookup("alo").empty());
  EXPECT_EQ(TrigramSegmentCount(Reader()), 0);
}

TEST_F(TrigramIndexTest, SegmentsMergeAndKeepEveryRowThatStillExists) {
  std::mt19937 rng(3);
  std::map<TrigramKey, std::set<std::int64_t>> model;
  std::vector<std::int64_t> rows;
  std::int64_t gone = 0;
  for (int t = 0; t < 72; ++t) {
    Transaction tx(db_);
    for (int i = 0; i < 5; ++i) {
      const std::string text = RandomText(rng, 40) + " common";
      const std::int64_t row = Add(text);
      rows.push_back(row);
      for (TrigramKey k : Windows(text)) model[k].insert(row);
    }
    // A row of a segment that the last merge takes in goes before it.
    if (t == 66) {
      gone = rows[64 * 5];
      db_.Execute("DELETE * FROM ContentIndex WHERE location = '/" + std::to_string(64 * 5 + 1) +
                  "'");
    }
    tx.Commit();
  }
  // Each eight segments of a level became one of the next: 64 of level 0 became eight of level
  // 1 and then one of level 2, the last eight one more of level 1.
  EXPECT_EQ(TrigramSegmentCount(Reader()), 2);
  TrigramLookup lookup(Reader());
  for (const auto& [key, expected] : model) {
    const Rows found = lookup.Rows(key);
    ASSERT_TRUE(std::is_sorted(found.begin(), found.end()));
    std::set<std::int64_t> want = expected;
    want.erase(gone);
    EXPECT_EQ(std::set<std::int64_t>(found.begin(), found.end()), want);
  }
}

TEST_F(TrigramIndexTest, CandidateExpressionsCombineAndRefuseWhatTheyCannotRead) {
  const std::int64_t a = Add("apple pie");
  const std::int64_t b = Add("cherry pie");
  const std::int64_t c = Add("apple cherry");
  auto key = [](std::string_view three) {
    std::size_t pos = 0;
    const char32_t x = NextFoldedCodePoint(three, pos), y = NextFoldedCodePoint(three, pos),
                   z = NextFoldedCodePoint(three, pos);
    return std::to_string(TrigramKeyOf(x, y, z));
  };
  EXPECT_EQ(EvaluateCandidates(Reader(), key("app") + " AND " + key("pie")), Rows{a});
  EXPECT_EQ(EvaluateCandidates(Reader(), key("app") + " OR " + key("che")), (Rows{a, b, c}));
  EXPECT_EQ(EvaluateCandidates(
                Reader(), "(" + key("pie") + ") AND (" + key("app") + " OR " + key("rry") + ")"),
            (Rows{a, b}));
  EXPECT_TRUE(EvaluateCandidates(Reader(), key("zzz")).empty());
  const std::vector<std::string> bad = {"",
                                        "AND",
                                        "(1",
                                        "1 OR",
                                        "1 2",
                                        "x",
                                        "1234567890123456",
                                        std::string(300, '(') + "1" + std::string(300, ')')};
  for (const std::string& b : bad) EXPECT_THROW(EvaluateCandidates(Reader(), b), DbError) << b;
  // Through the table function a bad expression is an error of the statement.
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(
      sqlite3_prepare_v2(Reader(), "SELECT rowid FROM zyl_candidates('(1')", -1, &st, nullptr),
      SQLITE_OK);
  EXPECT_EQ(sqlite3_step(st), SQLITE_ERROR);
  sqlite3_finalize(st);
}

}  // namespace
}  // namespace zyl::db
