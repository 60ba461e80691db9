#include "db/TrigramPostings.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <limits>

namespace zyl::db {

namespace {

// Writes `value` at `p`; returns the end.
char* PutVarint(char* p, std::uint64_t value) {
  while (value >= 0x80) {
    *p++ = static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  *p++ = static_cast<char>(value);
  return p;
}

constexpr std::size_t kMaxVarint = 10;

std::size_t VarintSize(std::uint64_t value) {
  // Seven bits a byte; zero takes one.
  return value == 0 ? 1 : (std::bit_width(value) + 6) / 7;
}

}  // namespace

void AppendVarint(std::string& out, std::uint64_t value) {
  char bytes[kMaxVarint];
  out.append(bytes, PutVarint(bytes, value));
}

bool ReadVarint(std::string_view text, std::size_t& pos, std::uint64_t& value) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 10 && pos + i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    v |= std::uint64_t{b & 0x7Fu} << (7 * i);
    if (!(b & 0x80)) {
      value = v;
      pos += i + 1;
      return true;
    }
  }
  return false;
}

void EncodeRowList(const std::vector<std::int64_t>& rows, std::string& out) {
  // The exact size first, so that the text grows once and only by what is written.
  std::size_t bytes = 0;
  std::int64_t previous = 0;
  for (std::int64_t r : rows) {
    bytes += VarintSize(static_cast<std::uint64_t>(r - previous));
    previous = r;
  }
  const std::size_t at = out.size();
  out.resize(at + bytes);
  char* p = out.data() + at;
  previous = 0;
  for (std::int64_t r : rows) {
    p = PutVarint(p, static_cast<std::uint64_t>(r - previous));
    previous = r;
  }
}

void DecodeRowList(std::string_view list, std::vector<std::int64_t>& out) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t row = 0, last = 0;
  std::size_t pos = 0;
  std::uint64_t delta = 0;
  while (ReadVarint(list, pos, delta)) {
    if (delta == 0) {
      row = 0;  // a run that counts from zero again follows
      continue;
    }
    // A row past the largest number, or one that does not follow the last, is damage.
    if (delta > kMax - row || row + delta <= last) break;
    row += delta;
    last = row;
    out.push_back(static_cast<std::int64_t>(row));
  }
}

bool BlockEntries::Next(TrigramKey& key, std::string_view& list) {
  std::uint64_t delta = 0;
  std::uint64_t length = 0;
  std::size_t pos = pos_;
  if (!ReadVarint(block_, pos, delta) || !ReadVarint(block_, pos, length)) return false;
  if (length > block_.size() - pos) return false;
  if (first_ ? delta != 0 : (delta == 0 || delta > ~TrigramKey{0} - key_)) return false;
  key_ += delta;
  first_ = false;
  key = key_;
  list = block_.substr(pos, length);
  pos_ = pos + length;
  return true;
}

void BlockWriter::Add(TrigramKey key, std::string_view list) {
  if (block_.empty()) first_ = last_ = key;
  AppendVarint(block_, key - last_);
  AppendVarint(block_, list.size());
  block_ += list;
  last_ = key;
}

std::string BlockWriter::Take() {
  std::string out;
  out.swap(block_);
  return out;
}

std::vector<std::int64_t> UniteRows(const std::vector<std::int64_t>& a,
                                    const std::vector<std::int64_t>& b) {
  std::vector<std::int64_t> out;
  out.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

std::vector<std::int64_t> IntersectRows(const std::vector<std::int64_t>& a,
                                        const std::vector<std::int64_t>& b) {
  std::vector<std::int64_t> out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

}  // namespace zyl::db
