// A reader that leaves the content in the file tests LIKE on the first pieces of each text
// when they decide it. It must list exactly the rows of the same statement reading every text
// whole: long texts with the words at and around the piece boundaries, Cyrillic, "ё", bytes
// that are no UTF-8, empty and missing texts, values stored as other than text, a file that
// stores text as UTF-16, with and without the substring index.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "db/Compiler.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "support/TestSupport.h"

namespace zyl::db {
namespace {

const std::vector<std::string> kFiller = {"annual", "report", "budget", "отчёт",  "бюджет",
                                          "ёлка",   "Елка",   "naïve",  "2024",   "x\xC0y",
                                          "\xFF",   "кварта", "\xD1",   "quartz", "я"};
const std::vector<std::string> kNeedles = {"quarterly",
                                           "QUARTERLY",
                                           "ежеквартальный",
                                           "Ёлка",
                                           "ЁЛКА",
                                           "ещё",
                                           "кварталя",
                                           "q\xD1"
                                           "x"};

// A text of about `size` bytes with a needle or two, often ending just before, at or just
// after a place a reader of pieces stops at (the first pieces are 1 and 16 KiB).
std::string RandomContent(std::mt19937& rng) {
  const std::size_t sizes[] = {0, 5, 300, 1100, 5000, 17000};
  const std::size_t size = sizes[rng() % 6] + rng() % 64;
  std::string text;
  while (text.size() < size) {
    text += kFiller[rng() % kFiller.size()];
    text += rng() % 7 ? " " : "\n";
  }
  for (int k = 1 + static_cast<int>(rng() % 2); k > 0; --k) {
    const std::string needle = (rng() % 2 ? " " : "") + kNeedles[rng() % kNeedles.size()];
    const std::size_t ends[] = {1024, 16384, 1024, 16384, 4096, 0, text.size()};
    const std::size_t end = ends[rng() % 7] + rng() % 5;
    const std::size_t at =
        std::min(end > needle.size() + 2 ? end - needle.size() - 2 : 0, text.size());
    text.insert(at, needle + (rng() % 2 ? " " : "s"));
  }
  return text;
}

const std::vector<std::string> kConditions = {
    R"(content LIKE "*quarterly*")",
    R"(content LIKE "*ЕЖЕКВАРТАЛЬНЫЙ*")",
    R"(content LIKE "*ёлка*")",
    R"(content LIKE "*е?ё*")",
    R"(content LIKE "*q[!a-z]x*")",
    R"(content LIKE "*квартал[!я]*")",
    R"(content LIKE "*quarterly*budget*")",
    R"(content LIKE "*2024*квартал*ещё*")",
    R"(content LIKE "*#*")",
    R"(content LIKE "annual*")",
    R"(content LIKE "*quarterly")",
    R"(content LIKE "*")",
    R"(content LIKE "")",
    R"(NOT content LIKE "*quarterly*")",
    R"(content LIKE "*quarterly*" AND NOT content LIKE "*ещё*")",
    R"(content LIKE "*quarterly*" OR location LIKE "*7")",
    R"((" " + content + " ") LIKE "*[!A-zа-яА-Я]quarterly[!A-zа-яА-Я]*")",
    R"((" " & content & " ") LIKE "*[!A-zа-яА-Я]ёлка[!A-zа-яА-Я]*")",
    R"((" " & content & " ") LIKE "* *")",
    R"(content IS NULL OR content LIKE "*квартал*")",
};

// Each row as its number and location.
std::vector<std::string> Read(Database& database, const std::string& sql,
                              RowReader::Content content) {
  RowReader rows(database, sql, RowReader::Order::kDatabase, content);
  std::vector<std::string> out;
  while (rows.Next()) {
    out.push_back(std::to_string(rows.RowId()) + " " + std::string(rows.Field(1).TextView()));
    if (content == RowReader::Content::kLeftStored) EXPECT_TRUE(rows.Field(0).IsNull());
  }
  return out;
}

void CreateOldTable(const std::string& path, bool utf16) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  if (utf16) sqlite3_exec(raw, "PRAGMA encoding = 'UTF-16le'", nullptr, nullptr, nullptr);
  sqlite3_exec(raw,
               "CREATE TABLE ContentIndex(title TEXT, author TEXT, content TEXT, location TEXT, "
               "type TEXT, modified TEXT, filesize INTEGER DEFAULT 0)",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

TEST(StoredContent, TestsOfTextPiecesListTheRowsOfWholeTexts) {
  test::TempDir dir;
  // A current file (stable key, substring index), one as older versions left it, and one
  // storing its text as UTF-16, which is read whole.
  const std::vector<std::string> paths = {dir.file("current.mdb"), dir.file("old.mdb"),
                                          dir.file("utf16.mdb")};
  Database::CreateEmpty(paths[0]);
  CreateOldTable(paths[1], false);
  CreateOldTable(paths[2], true);
  std::mt19937 rng(20261207);
  std::vector<std::optional<std::string>> contents;
  for (int i = 0; i < 400; ++i)
    contents.push_back(i % 23 == 5 ? std::nullopt : std::optional(RandomContent(rng)));
  for (const std::string& path : paths) {
    Database database = Database::Open(path);
    Transaction tx(database);
    Recordset rs = database.OpenRecordset("ContentIndex");
    for (std::size_t i = 0; i < contents.size(); ++i) {
      rs.AddNew();
      rs.SetField("location", Value("/d/" + std::to_string(i)));
      rs.SetField("content", contents[i] ? Value(*contents[i]) : Value());
      rs.Update();
    }
    tx.Commit();
  }
  // Values the engine holds as other than text, which the program does not write itself.
  for (const std::string& path : {paths[1], paths[2]}) {
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_exec(raw,
                 "INSERT INTO ContentIndex(location, content) VALUES ('/blob', "
                 "CAST('budget quarterly ' || hex(zeroblob(3000)) AS BLOB)), "
                 "('/real', 7.5), ('/int', 2024)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }

  int listed = 0;
  for (const std::string& path : paths) {
    Database database = Database::OpenReadOnly(path);
    for (const std::string& condition : kConditions) {
      const std::string sql = "SELECT content, location FROM ContentIndex WHERE " + condition;
      const std::vector<std::string> whole = Read(database, sql, RowReader::Content::kRead);
      const std::vector<std::string> pieces = Read(database, sql, RowReader::Content::kLeftStored);
      EXPECT_EQ(pieces, whole) << path << ": " << condition;
      listed += static_cast<int>(whole.size());
    }
  }
  // The conditions find a fair share of the rows, and the content tests really are the ones
  // that read pieces.
  EXPECT_GT(listed, 1000);
  const CompiledQuery q = CompileStatement(
      "SELECT location FROM ContentIndex WHERE " + kConditions[16], ContentTests::kInPieces);
  EXPECT_NE(q.where.find("zyl_like_stored_padded(rowid"), std::string::npos) << q.where;
}

TEST(StoredContent, AReaderThroughItsRowsLeavesNoOldViewOfTheFileBehind) {
  // The piece reader keeps the engine's read of the file open; one left open after the last
  // row would make every later search of the same connection see the file as it was.
  test::TempDir dir;
  const std::string path = dir.file("live.mdb");
  Database::CreateEmpty(path);
  Database writer = Database::Open(path);
  auto add = [&](const std::string& location) {
    Recordset rs = writer.OpenRecordset("ContentIndex");
    rs.AddNew();
    rs.SetField("location", Value(location));
    rs.SetField("content", Value(std::string(9000, 'x') + " quarterly"));
    rs.Update();
  };
  add("/first");
  Database reader = Database::OpenReadOnly(path);
  const std::string sql =
      R"(SELECT content, location FROM ContentIndex WHERE content LIKE "*quarterly*")";
  RowReader first(reader, sql, RowReader::Order::kDatabase, RowReader::Content::kLeftStored);
  ASSERT_TRUE(first.Next());
  EXPECT_FALSE(first.Next());
  add("/second");
  // `first` still exists; a new search on the same connection sees the row written since.
  EXPECT_EQ(Read(reader, sql, RowReader::Content::kLeftStored).size(), 2u);
}

}  // namespace
}  // namespace zyl::db
