// The stored form of the substring index's postings: which rows hold a trigram.
//
// A row list is the rows' numbers in ascending order, each as the difference from the one
// before (the first from zero) in LEB128 variable-length form: a common trigram's list costs
// about a byte per row. A zero starts the count from zero again, so that lists of rows that
// follow each other are joined by a zero byte between them, as they are. Lists are kept in blocks
// of a few kilobytes, one stored row per block: a block is a run of entries in ascending key order,
// each the key's difference from the previous entry's key (the first from the block's own key), the
// list's length in bytes, and the list. A stored file is outside input: every decoder here stops at
// the first malformed byte, never reads past its text, and only ever yields ascending row numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/TrigramKeys.h"

namespace zyl::db {

void AppendVarint(std::string& out, std::uint64_t value);
// Reads a value at `pos` and moves past it; false (and `pos` unchanged) when the text ends or
// the value is over ten bytes long.
bool ReadVarint(std::string_view text, std::size_t& pos, std::uint64_t& value);

// Appends the list of `rows`, which ascend strictly and are positive.
void EncodeRowList(const std::vector<std::int64_t>& rows, std::string& out);
// Appends the rows of an encoded list to `out` (which they follow in ascending order only if
// `out` was empty or ended below them).
void DecodeRowList(std::string_view list, std::vector<std::int64_t>& out);

// The entries of one stored block in turn.
class BlockEntries {
 public:
  BlockEntries(std::string_view block, TrigramKey firstKey) : block_(block), key_(firstKey) {}
  // The next entry's key and list; false at the end of the block or at a malformed entry, and
  // for an entry whose key would not ascend.
  bool Next(TrigramKey& key, std::string_view& list);

 private:
  std::string_view block_;
  std::size_t pos_ = 0;
  TrigramKey key_;
  bool first_ = true;
};

// Packs entries, given in ascending key order, into blocks of about kBlockBytes.
class BlockWriter {
 public:
  static constexpr std::size_t kBlockBytes = 8 << 10;
  void Add(TrigramKey key, std::string_view list);
  // Whether the current block is full and should be taken.
  bool Full() const { return block_.size() >= kBlockBytes; }
  bool Empty() const { return block_.empty(); }
  TrigramKey FirstKey() const { return first_; }
  // The current block's bytes; the writer starts a new block after this.
  std::string Take();

 private:
  std::string block_;
  TrigramKey first_ = 0;
  TrigramKey last_ = 0;
};

// The sorted union of two ascending lists.
std::vector<std::int64_t> UniteRows(const std::vector<std::int64_t>& a,
                                    const std::vector<std::int64_t>& b);
// The rows in both ascending lists.
std::vector<std::int64_t> IntersectRows(const std::vector<std::int64_t>& a,
                                        const std::vector<std::int64_t>& b);

}  // namespace zyl::db
