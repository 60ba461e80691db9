// The substring index beside ContentIndex: for each trigram key (db/TrigramKeys.h), the rows
// whose content holds it. It only ever narrows a search to candidate rows; the LIKE test still
// decides every row, so a search answers exactly as a scan of the whole table.
//
// The postings are written as segments, one per transaction that adds rows, each a run of
// blocks (db/TrigramPostings.h) in key order. When eight segments of one level pile up they are
// merged into one of the next level, so a lookup visits a handful of segments however many
// transactions made the index. Nothing is taken out when a row is deleted or its content
// changes: its old postings only make a candidate that LIKE turns down, and merges drop the
// postings of rows that no longer exist. So only a new row's or a new content's postings are
// written, in the same transaction as the row, and nothing else has to be kept in step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/IndexStatement.h"
#include "db/TrigramKeys.h"

namespace zyl::db {

inline constexpr const char* kTrigramTable = "ContentTrigrams";
inline constexpr const char* kSegmentTable = "ContentTrigramSegments";

// Engine statements that make the index's empty tables.
std::string CreateTrigramIndexSql();

// The postings of rows added in the current transaction, kept until it commits.
class PendingTrigrams {
 public:
  // Rows per segment at most (a posting refers to its row by a 16-bit slot), and postings held
  // before a long transaction writes a segment of its own.
  static constexpr std::size_t kMaxRows = 0xFFFF;
  static constexpr std::size_t kMaxPostings = 8 << 20;

  void Add(std::int64_t rowid, const std::vector<TrigramKey>& keys);
  bool Empty() const { return rows_.empty(); }
  bool Full() const { return rows_.size() >= kMaxRows || postings_.size() >= kMaxPostings; }
  void Clear();
  // Writes what is pending as a new segment, merges segments that have piled up, and clears.
  // Runs inside the caller's transaction; throws DbError.
  void Write(sqlite3* db);

 private:
  std::vector<std::int64_t> rows_;
  // key << 16 | slot in rows_.
  std::vector<std::uint64_t> postings_;
  std::vector<std::uint64_t> scratch_;  // room to sort them in
};

// Empties the index (the table was emptied).
void ClearTrigramIndex(sqlite3* db);

// Reads which rows hold a key, from the segments the index had when it was made.
class TrigramLookup {
 public:
  explicit TrigramLookup(sqlite3* db);
  // The rows whose postings hold `key`, ascending.
  std::vector<std::int64_t> Rows(TrigramKey key);

 private:
  std::vector<std::int64_t> segments_;
  IndexStatement find_;
};

// The live segments' count, for tests and the log.
std::int64_t TrigramSegmentCount(sqlite3* db);

}  // namespace zyl::db
