#include "db/TrigramKeys.h"

#include <algorithm>
#include <array>
#include <bit>

#include "base/Strings.h"
#include "base/Utf8.h"

namespace zyl::db {

namespace {

// The keys seen so far in one text: open addressing over a power-of-two table, which stays at
// most half full. A text of prose holds each trigram many times over, so nearly every lookup
// finds its key in a table that fits the processor's cache.
class KeySet {
 public:
  explicit KeySet(std::size_t expected)
      : slots_(std::bit_ceil(std::max<std::size_t>(64, expected * 2))) {}

  void Insert(TrigramKey key, std::vector<TrigramKey>& out) {
    // Slots hold key + 1, so that zero marks an empty one (a key is at most 48 bits).
    const TrigramKey stored = key + 1;
    std::size_t i = Slot(key);
    while (true) {
      const TrigramKey s = slots_[i];
      if (s == stored) return;
      if (s == 0) break;
      i = (i + 1) & (slots_.size() - 1);
    }
    slots_[i] = stored;
    out.push_back(key);
    if (out.size() * 2 > slots_.size()) Grow(out);
  }

 private:
  std::size_t Slot(TrigramKey key) const {
    // Fibonacci hashing: the top bits of the product spread keys that differ in any bits.
    const int shift = 64 - std::countr_zero(slots_.size());
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift);
  }
  void Grow(const std::vector<TrigramKey>& keys) {
    slots_.assign(slots_.size() * 2, 0);
    for (TrigramKey k : keys) {
      std::size_t i = Slot(k);
      while (slots_[i] != 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = k + 1;
    }
  }

  std::vector<TrigramKey> slots_;
};

}  // namespace

namespace {

// The foldings of U+0080 to U+07FF (Latin letters with marks, Greek, Cyrillic): the code points
// of two bytes, which Russian text is made of, are folded without asking the case data.
const std::array<char32_t, 0x780>& TwoByteFoldings() {
  static const std::array<char32_t, 0x780> table = [] {
    std::array<char32_t, 0x780> t{};
    for (char32_t cp = 0x80; cp < 0x800; ++cp) t[cp - 0x80] = base::FoldCodePoint(cp);
    return t;
  }();
  return table;
}

}  // namespace

char32_t NextFoldedCodePoint(std::string_view text, std::size_t& pos) {
  const auto c = static_cast<unsigned char>(text[pos]);
  if (c < 0x80) {
    ++pos;
    return static_cast<unsigned>(c - 'A') < 26u ? c + 32 : c;
  }
  if (c >= 0xC2 && c < 0xE0 && pos + 1 < text.size()) {
    const auto next = static_cast<unsigned char>(text[pos + 1]);
    if ((next & 0xC0) == 0x80) {
      pos += 2;
      return TwoByteFoldings()[((c & 0x1Fu) << 6 | (next & 0x3Fu)) - 0x80];
    }
  }
  return base::FoldCodePoint(base::DecodeUtf8At(text, pos));
}

std::vector<TrigramKey> DistinctTrigramKeys(std::string_view text) {
  std::vector<TrigramKey> keys;
  if (text.size() < 3) return keys;
  // Prose of a few kilobytes holds a few thousand distinct trigrams; the set grows as needed.
  KeySet seen(std::min<std::size_t>(text.size() / 2, 1 << 16));
  keys.reserve(std::min<std::size_t>(text.size() / 2, 1 << 16));
  std::size_t pos = 0;
  // The window's three code points, 16 bits each, shifted along the text.
  TrigramKey window = 0;
  int filled = 0;
  while (pos < text.size()) {
    const char32_t cp = NextFoldedCodePoint(text, pos);
    window = ((window << 16) | TrigramKey{cp < 0xFFFF ? cp : 0xFFFF}) & 0xFFFF'FFFF'FFFFull;
    if (++filled >= 3) seen.Insert(window, keys);
  }
  return keys;
}

}  // namespace zyl::db
