#include "db/TrigramIndex.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <numeric>
#include <string_view>
#include <thread>
#include <utility>

#include "db/TrigramPostings.h"

namespace zyl::db {

namespace {

// Segments of one level that are merged into one of the next.
constexpr std::size_t kFanIn = 8;

void Exec(sqlite3* db, const char* sql) {
  IndexStatement st(db, sql);
  while (st.Step()) {
  }
}

// Sorts `n` values at `a` by their bits from `fromBit` below `toBit`, least significant byte
// first, using `tmp` (as large) on the way; stable. A byte that is the same in every value (the
// high byte of every code point of plain English text) costs no pass.
void SortBytes(std::uint64_t* a, std::uint64_t* tmp, std::size_t n, int fromBit, int toBit) {
  std::uint64_t* const start = a;
  for (int shift = fromBit; shift < toBit; shift += 8) {
    std::array<std::size_t, 256> at{};
    for (std::size_t i = 0; i < n; ++i) ++at[(a[i] >> shift) & 0xFF];
    if (at[(a[0] >> shift) & 0xFF] == n) continue;
    std::size_t sum = 0;
    for (std::size_t& s : at) sum += std::exchange(s, sum);
    for (std::size_t i = 0; i < n; ++i) tmp[at[(a[i] >> shift) & 0xFF]++] = a[i];
    std::swap(a, tmp);
  }
  if (a != start) std::copy(a, a + n, start);
}

// Postings of one first code point of their key, at [from, from + n) of the buffer.
struct Bucket {
  std::size_t from, n;
};

// Orders postings (key << 16 | slot) by the key's first code point (their top 16 bits), keeping
// their order within each; returns the buckets that are not empty. The buckets are few, and
// each is small enough to stay in the processor's cache while it is sorted by the rest.
std::vector<Bucket> ByFirstCodePoint(std::vector<std::uint64_t>& v,
                                     std::vector<std::uint64_t>& out) {
  std::vector<std::uint32_t> start(0x10001, 0);
  for (std::uint64_t x : v) ++start[(x >> 48) + 1];
  for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
  std::vector<Bucket> buckets;
  for (std::size_t b = 0; b + 1 < start.size(); ++b)
    if (start[b + 1] > start[b]) buckets.push_back({start[b], start[b + 1] - start[b]});
  out.resize(v.size());
  for (std::uint64_t x : v) out[start[x >> 48]++] = x;
  v.swap(out);
  return buckets;
}

// The entries of one bucket, encoded: each key with the end of its list in `bytes`.
struct BucketEntries {
  std::vector<std::pair<TrigramKey, std::size_t>> ends;
  std::string bytes;
};

// Sorts a bucket by the rest of its bits from `fromBit` and encodes each key's rows.
BucketEntries EncodeBucket(std::uint64_t* a, std::uint64_t* tmp, std::size_t n, int fromBit,
                           const std::vector<std::int64_t>& slotRows) {
  SortBytes(a, tmp, n, fromBit, 48);
  BucketEntries out;
  std::vector<std::int64_t> rows;
  for (std::size_t i = 0; i < n;) {
    const TrigramKey key = a[i] >> 16;
    rows.clear();
    for (; i < n && a[i] >> 16 == key; ++i) {
      // Row numbers come from the engine's automatic key, which starts at 1.
      const std::int64_t r = slotRows[a[i] & 0xFFFF];
      if (r > 0 && (rows.empty() || r > rows.back())) rows.push_back(r);
    }
    EncodeRowList(rows, out.bytes);
    out.ends.emplace_back(key, out.bytes.size());
  }
  return out;
}

// Runs `work(i)` for every i below `count`, on this thread and one more: the writing thread of a
// build would otherwise sort alone while the extraction threads wait for it.
void OnTwoThreads(std::size_t count, const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  auto run = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < count;) work(i);
  };
  std::thread other([&] {
    try {
      run();
    } catch (...) {
      failure = std::current_exception();
      next = count;
    }
  });
  try {
    run();
  } catch (...) {
    next = count;
    other.join();
    throw;
  }
  other.join();
  if (failure) std::rethrow_exception(failure);
}

std::int64_t NextSegment(sqlite3* db) {
  IndexStatement st(db, "SELECT coalesce(max(segment), 0) + 1 FROM ContentTrigramSegments");
  st.Step();
  return st.Int(0);
}

// Writes a writer's blocks as rows of `segment`.
class SegmentWriter {
 public:
  SegmentWriter(sqlite3* db, std::int64_t segment)
      : db_(db),
        segment_(segment),
        insert_(db, "INSERT INTO ContentTrigrams(segment, trigram, entries) VALUES(?1, ?2, ?3)") {}
  void Add(TrigramKey key, std::string_view list) {
    blocks_.Add(key, list);
    if (blocks_.Full()) Put();
  }
  // Writes the last block and files the segment under `level`, with the range of the rows
  // its postings name.
  void Finish(int level, std::int64_t firstRow, std::int64_t lastRow) {
    if (!blocks_.Empty()) Put();
    IndexStatement st(db_,
                      "INSERT INTO ContentTrigramSegments(segment, level, firstRow, lastRow) "
                      "VALUES(?1, ?2, ?3, ?4)");
    st.BindInt(1, segment_);
    st.BindInt(2, level);
    st.BindInt(3, firstRow);
    st.BindInt(4, lastRow);
    st.Step();
  }

 private:
  void Put() {
    const TrigramKey first = blocks_.FirstKey();
    const std::string block = blocks_.Take();
    insert_.BindInt(1, segment_);
    insert_.BindInt(2, static_cast<std::int64_t>(first));
    insert_.BindBlob(3, block);
    insert_.Step();
    insert_.Reset();
  }
  sqlite3* db_;
  std::int64_t segment_;
  IndexStatement insert_;
  BlockWriter blocks_;
};

struct Segment {
  std::int64_t number, firstRow, lastRow;
};

std::vector<Segment> SegmentsOfLevel(sqlite3* db, int level) {
  IndexStatement st(
      db,
      "SELECT segment, firstRow, lastRow FROM ContentTrigramSegments WHERE level = ?1 "
      "ORDER BY segment");
  st.BindInt(1, level);
  std::vector<Segment> out;
  while (st.Step()) out.push_back({st.Int(0), st.Int(1), st.Int(2)});
  return out;
}

// The rows of ContentIndex, as a bit per row number, when the numbers are dense enough for
// that; a merge keeps only postings of rows that still exist.
class LiveRows {
 public:
  explicit LiveRows(sqlite3* db) {
    std::vector<std::int64_t> rows;
    IndexStatement st(db, "SELECT rowid FROM ContentIndex");
    while (st.Step()) rows.push_back(st.Int(0));
    if (rows.empty()) {
      known_ = true;
      return;
    }
    const std::int64_t top = *std::max_element(rows.begin(), rows.end());
    const std::int64_t bottom = *std::min_element(rows.begin(), rows.end());
    // Sparse numbers (rows added by hand at far-off keys) keep every posting instead.
    if (bottom < 0 || top / 64 > static_cast<std::int64_t>(rows.size()) + 1024) return;
    bits_.assign(static_cast<std::size_t>(top / 64 + 1), 0);
    for (std::int64_t r : rows)
      bits_[static_cast<std::size_t>(r / 64)] |= std::uint64_t{1} << (r % 64);
    known_ = true;
  }
  bool Has(std::int64_t row) const {
    if (!known_) return true;
    const auto word = static_cast<std::size_t>(row / 64);
    return row >= 0 && word < bits_.size() && (bits_[word] >> (row % 64) & 1);
  }
  // Whether every row from `first` to `last` exists (so no posting of that range has to go).
  bool HasAll(std::int64_t first, std::int64_t last) const {
    if (!known_ || first < 0 || first > last) return false;
    for (std::int64_t r = first; r <= last; ++r)
      if (!Has(r)) return false;
    return true;
  }

 private:
  bool known_ = false;
  std::vector<std::uint64_t> bits_;
};

// One input of a merge: a segment's entries in key order.
class SegmentEntries {
 public:
  SegmentEntries(sqlite3* db, std::int64_t segment)
      : st_(db,
            "SELECT trigram, entries FROM ContentTrigrams WHERE segment = ?1 ORDER BY trigram") {
    st_.BindInt(1, segment);
    Advance();
  }
  bool done() const { return done_; }
  TrigramKey key() const { return key_; }
  std::string_view list() const { return list_; }
  void Advance() {
    while (!entries_.Next(key_, list_)) {
      if (!st_.Step()) {
        done_ = true;
        st_.Reset();
        return;
      }
      // The engine's copy of a row is only good until the next step; the block is kept.
      block_.assign(st_.Blob(1));
      entries_ = BlockEntries(block_, static_cast<TrigramKey>(st_.Int(0)));
    }
  }

 private:
  IndexStatement st_;
  std::string block_;
  BlockEntries entries_{{}, 0};
  TrigramKey key_ = 0;
  std::string_view list_;
  bool done_ = false;
};

void Merge(sqlite3* db, const std::vector<Segment>& segments, int level) {
  const LiveRows live(db);
  // The segments of a build name rows in ranges that follow each other, all of which still
  // exist: each key's lists are then joined as they are, a zero between them (a list may start
  // again from zero, db/TrigramPostings.h), without reading a row.
  bool join = true;
  for (std::size_t i = 0; i < segments.size(); ++i)
    join = join && live.HasAll(segments[i].firstRow, segments[i].lastRow) &&
           (i == 0 || segments[i].firstRow > segments[i - 1].lastRow);
  std::int64_t firstRow = segments.front().firstRow, lastRow = segments.front().lastRow;
  for (const Segment& s : segments) {
    firstRow = std::min(firstRow, s.firstRow);
    lastRow = std::max(lastRow, s.lastRow);
  }
  SegmentWriter out(db, NextSegment(db));
  {
    std::vector<std::unique_ptr<SegmentEntries>> inputs;
    for (const Segment& s : segments)
      inputs.push_back(std::make_unique<SegmentEntries>(db, s.number));
    std::vector<std::int64_t> rows, part;
    std::string list;
    while (true) {
      bool any = false;
      TrigramKey key = 0;
      for (const auto& in : inputs)
        if (!in->done() && (!any || in->key() < key)) {
          key = in->key();
          any = true;
        }
      if (!any) break;
      list.clear();
      rows.clear();
      for (const auto& in : inputs) {
        if (in->done() || in->key() != key) continue;
        if (join) {
          if (!list.empty()) list += '\0';
          list += in->list();
        } else {
          part.clear();
          DecodeRowList(in->list(), part);
          rows = UniteRows(rows, part);
        }
        in->Advance();
      }
      if (!join) {
        std::erase_if(rows, [&](std::int64_t r) { return !live.Has(r); });
        if (rows.empty()) continue;
        EncodeRowList(rows, list);
      }
      out.Add(key, list);
    }
  }
  out.Finish(level, firstRow, lastRow);
  IndexStatement dropRows(db, "DELETE FROM ContentTrigrams WHERE segment = ?1");
  IndexStatement dropSegment(db, "DELETE FROM ContentTrigramSegments WHERE segment = ?1");
  for (const Segment& s : segments) {
    dropRows.BindInt(1, s.number);
    dropRows.Step();
    dropRows.Reset();
    dropSegment.BindInt(1, s.number);
    dropSegment.Step();
    dropSegment.Reset();
  }
}

}  // namespace

std::string CreateTrigramIndexSql() {
  return "CREATE TABLE IF NOT EXISTS ContentTrigrams(segment INTEGER NOT NULL, trigram INTEGER "
         "NOT NULL, entries BLOB NOT NULL, PRIMARY KEY(segment, trigram));"
         "CREATE TABLE IF NOT EXISTS ContentTrigramSegments(segment INTEGER PRIMARY KEY, level "
         "INTEGER NOT NULL, firstRow INTEGER NOT NULL, lastRow INTEGER NOT NULL)";
}

void PendingTrigrams::Add(std::int64_t rowid, const std::vector<TrigramKey>& keys) {
  const auto slot = static_cast<std::uint64_t>(rows_.size());
  rows_.push_back(rowid);
  // Grows by doubling: a reserve of the exact size would copy everything at every row.
  const std::size_t at = postings_.size();
  if (postings_.capacity() < at + keys.size())
    postings_.reserve(std::max(2 * postings_.capacity(), at + keys.size()));
  postings_.resize(at + keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) postings_[at + i] = (keys[i] << 16) | slot;
}

void PendingTrigrams::Clear() {
  rows_.clear();
  // The buffers keep their room for the next transaction's rows.
  postings_.clear();
}

void PendingTrigrams::Write(sqlite3* db) {
  if (rows_.empty()) return;
  // Sorted by key, each key's postings must come in row order. A build adds its rows in
  // ascending order, so the stable sort by key alone gives that; otherwise the slots are
  // renumbered in row order first and sorted by too.
  std::vector<std::int64_t> slotRows = rows_;
  int fromBit = 16;
  if (!std::is_sorted(rows_.begin(), rows_.end())) {
    std::vector<std::uint32_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return rows_[a] < rows_[b]; });
    std::vector<std::uint64_t> rank(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      rank[order[i]] = i;
      slotRows[i] = rows_[order[i]];
    }
    for (std::uint64_t& p : postings_) p = (p & ~std::uint64_t{0xFFFF}) | rank[p & 0xFFFF];
    fromBit = 0;
  }
  const std::vector<Bucket> buckets = ByFirstCodePoint(postings_, scratch_);
  std::vector<std::uint64_t>& tmp = scratch_;
  tmp.resize(postings_.size());
  std::vector<BucketEntries> encoded(buckets.size());
  OnTwoThreads(buckets.size(), [&](std::size_t b) {
    const Bucket& k = buckets[b];
    encoded[b] =
        EncodeBucket(postings_.data() + k.from, tmp.data() + k.from, k.n, fromBit, slotRows);
  });
  SegmentWriter out(db, NextSegment(db));
  for (BucketEntries& e : encoded) {
    std::size_t from = 0;
    for (const auto& [key, end] : e.ends) {
      out.Add(key, std::string_view(e.bytes).substr(from, end - from));
      from = end;
    }
    e = {};
  }
  const auto [low, high] = std::minmax_element(slotRows.begin(), slotRows.end());
  out.Finish(0, *low, *high);
  Clear();
  for (int level = 0;; ++level) {
    std::vector<Segment> segments = SegmentsOfLevel(db, level);
    if (segments.size() < kFanIn) break;
    // Eight at a time, the oldest first: a damaged file listing thousands of segments of a
    // level costs one merge per commit, never thousands of open inputs at once.
    segments.resize(kFanIn);
    Merge(db, segments, level + 1);
  }
}

void ClearTrigramIndex(sqlite3* db) {
  Exec(db, "DELETE FROM ContentTrigrams");
  Exec(db, "DELETE FROM ContentTrigramSegments");
}

std::int64_t TrigramSegmentCount(sqlite3* db) {
  IndexStatement st(db, "SELECT count(*) FROM ContentTrigramSegments");
  st.Step();
  return st.Int(0);
}

TrigramLookup::TrigramLookup(sqlite3* db)
    : find_(db,
            "SELECT trigram, entries FROM ContentTrigrams WHERE segment = ?1 AND trigram <= ?2 "
            "ORDER BY trigram DESC LIMIT 1") {
  IndexStatement st(db, "SELECT segment FROM ContentTrigramSegments ORDER BY segment");
  while (st.Step()) segments_.push_back(st.Int(0));
}

std::vector<std::int64_t> TrigramLookup::Rows(TrigramKey key) {
  std::vector<std::int64_t> rows, part;
  for (std::int64_t s : segments_) {
    find_.BindInt(1, s);
    find_.BindInt(2, static_cast<std::int64_t>(key));
    if (find_.Step()) {
      BlockEntries entries(find_.Blob(1), static_cast<TrigramKey>(find_.Int(0)));
      TrigramKey k = 0;
      std::string_view list;
      while (entries.Next(k, list) && k <= key) {
        if (k != key) continue;
        part.clear();
        DecodeRowList(list, part);
        if (rows.empty() || part.empty() || part.front() > rows.back())
          rows.insert(rows.end(), part.begin(), part.end());
        else
          rows = UniteRows(rows, part);
        break;
      }
    }
    find_.Reset();
  }
  return rows;
}

}  // namespace zyl::db
