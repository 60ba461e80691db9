// The trigrams of a text as the substring index keys them.
//
// A trigram is a run of three code points of the text folded as LIKE folds it (code point by
// code point, simple case folding, a malformed byte read as LIKE reads it). Its key packs the
// three folded code points into 16 bits each; a code point beyond the first plane shares the
// top value with its neighbours. Keys only ever narrow a search to candidate rows that LIKE
// then tests, so two trigrams sharing a key cost an extra candidate, never a missed row.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zyl::db {

using TrigramKey = std::uint64_t;

inline constexpr TrigramKey TrigramKeyOf(char32_t a, char32_t b, char32_t c) {
  constexpr auto kLimit = static_cast<char32_t>(0xFFFF);
  return (TrigramKey{a < kLimit ? a : kLimit} << 32) | (TrigramKey{b < kLimit ? b : kLimit} << 16) |
         TrigramKey{c < kLimit ? c : kLimit};
}

// The code point at `pos` of `text` folded as LIKE folds it; moves `pos` past it.
char32_t NextFoldedCodePoint(std::string_view text, std::size_t& pos);

// The keys of every trigram of `text`, each once, in no particular order. A build calls this on
// its extraction threads, so the one thread that writes rows only files the keys away.
std::vector<TrigramKey> DistinctTrigramKeys(std::string_view text);

}  // namespace zyl::db
