#include "db/LikePattern.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "base/Strings.h"
#include "base/Utf8.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZYL_LIKE_X86 1
#endif

namespace zyl::db {
namespace {

constexpr char32_t kLowLimit = 0x800;  // two-byte UTF-8: Latin, Greek, Cyrillic and more
// Most bytes the reading of one character looks at, from its first byte on.
constexpr std::size_t kCharLookahead = 4;

// Case folding of the code points that need it most, and for every folded code point the
// others that fold to it (so "k" knows the Kelvin sign, "в" knows its old variant).
struct FoldTables {
  std::array<char32_t, kLowLimit> low{};
  std::unordered_map<char32_t, std::vector<char32_t>> inverse;
  FoldTables() {
    for (char32_t c = 0; c < kLowLimit; ++c) low[c] = base::FoldCodePoint(c);
    for (const auto& [c, f] : base::FoldingChanges(0x20000)) inverse[f].push_back(c);
  }
};

const FoldTables& Tables() {
  static const FoldTables t;
  return t;
}

inline char32_t Fold(char32_t c, const FoldTables& t) {
  if (c < 0x80) return (c - U'A' < 26u) ? c + 32 : c;
  if (c < kLowLimit) return t.low[c];
  return base::FoldCodePoint(c);
}

// Every code point whose folding is `folded` (itself included).
std::vector<char32_t> Variants(char32_t folded, const FoldTables& t) {
  std::vector<char32_t> v{folded};
  if (auto it = t.inverse.find(folded); it != t.inverse.end())
    v.insert(v.end(), it->second.begin(), it->second.end());
  return v;
}

inline char32_t DecodeAt(const unsigned char* s, std::size_t n, std::size_t& i) {
  const unsigned char c = s[i];
  if (c < 0x80) {
    ++i;
    return c;
  }
  return base::DecodeUtf8At(std::string_view(reinterpret_cast<const char*>(s), n), i);
}

// Rough share of a character in running text, to pick the rarest characters of a word as
// the ones the scan looks for.
double Frequency(char32_t c) {
  static const double latin[26] = {8.2,  1.5, 2.8, 4.3, 12.7, 2.2,  2.0, 6.1, 7.0,
                                   0.15, 0.8, 4.0, 2.4, 6.7,  7.5,  1.9, 0.1, 6.0,
                                   6.3,  9.1, 2.8, 1.0, 2.4,  0.15, 2.0, 0.07};
  // а..я
  static const double cyrillic[32] = {8.0, 1.6, 4.5, 1.7,  3.0,  8.5, 0.9, 1.6, 7.4, 1.2, 3.5,
                                      4.4, 3.2, 6.7, 11.0, 2.8,  4.7, 5.5, 6.3, 2.6, 0.3, 1.0,
                                      0.5, 1.4, 0.7, 0.4,  0.05, 1.9, 1.7, 0.3, 0.6, 2.0};
  if (c >= 'a' && c <= 'z') return latin[c - 'a'] / 100;
  if (c >= '0' && c <= '9') return 0.005;
  if (c < 0x80) return 0.01;
  if (c >= 0x430 && c <= 0x44F) return cyrillic[c - 0x430] / 100;
  return 0.001;
}

}  // namespace

// The text being matched, optionally with one virtual blank before and after it.
struct LikePattern::View {
  const unsigned char* body;
  std::size_t n;
  std::size_t pad;  // 0 or 1
  const FoldTables& tables;

  std::size_t size() const { return n + 2 * pad; }
  char32_t Decode(std::size_t& v) const {
    if (v < pad || v >= pad + n) {
      ++v;
      return U' ';
    }
    std::size_t b = v - pad;
    const char32_t c = DecodeAt(body, n, b);
    v = b + pad;
    return c;
  }
  // Start of the code point before position v (v > 0).
  std::size_t Prev(std::size_t v) const {
    if (v <= pad || v > pad + n) return v - 1;
    const std::size_t b = v - pad;
    std::size_t q = b - 1;
    int k = 0;
    while (q > 0 && k < 3 && (body[q] & 0xC0) == 0x80) {
      --q;
      ++k;
    }
    std::size_t e = q;
    DecodeAt(body, n, e);
    if (e != b) q = b - 1;  // malformed: step back one byte, as forward reading would
    return q + pad;
  }
};

bool LikePattern::CharClass::ContainsSlow(char32_t x) const {
  auto inRanges = [&](char32_t c) {
    for (auto& [lo, hi] : ranges)
      if (c >= lo && c <= hi) return true;
    return false;
  };
  bool in = inRanges(x);
  if (!in) {
    const auto& inv = Tables().inverse;
    if (auto it = inv.find(x); it != inv.end())
      for (char32_t y : it->second)
        if (inRanges(y)) {
          in = true;
          break;
        }
  }
  return in != negated;
}

bool LikePattern::CharClass::Contains(char32_t x) const {
  if (x < kLowLimit) return (low[x >> 6] >> (x & 63)) & 1;
  return ContainsSlow(x);
}

LikePattern::LikePattern(std::string_view pattern) : source_(pattern) {
  const FoldTables& t = Tables();
  segments_.emplace_back();
  bool lastWasStar = false;
  std::size_t count = 0;
  auto add = [&](Elem e, std::size_t at) {
    if (++count > kMaxPatternElements) throw LikePatternError(at, "the pattern is too long");
    segments_.back().elems.push_back(e);
    lastWasStar = false;
  };
  const std::size_t n = pattern.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = pattern[i];
    const std::size_t at = i;
    if (c == '*') {
      hasStar_ = true;
      if (!lastWasStar) segments_.emplace_back();
      lastWasStar = true;
      ++i;
    } else if (c == '?') {
      add({ElemKind::Any, 0, 0}, at);
      ++i;
    } else if (c == '#') {
      add({ElemKind::Digit, 0, 0}, at);
      ++i;
    } else if (c == '[') {
      ++i;
      CharClass cls;
      if (i + 1 < n && pattern[i] == '!' && pattern[i + 1] == ']') {
        // "[!]" can only mean the exclamation mark itself.
        add({ElemKind::Literal, 0, U'!'}, at);
        i += 2;
        continue;
      }
      if (i < n && pattern[i] == '!') {
        cls.negated = true;
        ++i;
      }
      bool closed = false;
      while (i < n) {
        if (pattern[i] == ']') {
          closed = true;
          ++i;
          break;
        }
        const char32_t lo = base::DecodeUtf8At(pattern, i);
        if (i + 1 < n && pattern[i] == '-' && pattern[i + 1] != ']') {
          ++i;
          const char32_t hi = base::DecodeUtf8At(pattern, i);
          if (hi < lo) throw LikePatternError(at, "a range in \"[...]\" runs backwards");
          cls.ranges.emplace_back(lo, hi);
        } else {
          cls.ranges.emplace_back(lo, lo);
        }
      }
      if (!closed) throw LikePatternError(at, "a character set \"[\" is not closed with \"]\"");
      if (cls.ranges.empty()) continue;  // "[]" matches the empty text
      if (classes_.size() >= 0xFFFF) throw LikePatternError(at, "the pattern is too long");
      cls.low.assign(kLowLimit / 64, 0);
      for (char32_t x = 0; x < kLowLimit; ++x)
        if (cls.ContainsSlow(x)) cls.low[x >> 6] |= std::uint64_t{1} << (x & 63);
      classes_.push_back(std::move(cls));
      add({ElemKind::Class, static_cast<std::uint16_t>(classes_.size() - 1), 0}, at);
    } else {
      const char32_t cp = base::DecodeUtf8At(pattern, i);
      add({ElemKind::Literal, 0, Fold(cp, t)}, at);
    }
  }
  for (auto& seg : segments_) BuildFilter(seg);
}

void LikePattern::BuildFilter(Segment& seg) const {
  const FoldTables& t = Tables();
  struct Info {
    bool ok = false;
    std::vector<std::uint8_t> keys;
    std::uint8_t lengths = 0;
    int uniform = 0;  // the one byte length of all variants, 0 when they differ
    double freq = 1;
  };
  std::vector<Info> info(seg.elems.size());
  for (std::size_t j = 0; j < seg.elems.size(); ++j) {
    const Elem& e = seg.elems[j];
    // Blanks are frequent and may be the virtual padding, which the scan never sees.
    if (e.kind != ElemKind::Literal || e.cp == U' ') continue;
    Info& in = info[j];
    for (char32_t v : Variants(e.cp, t)) {
      std::string enc;
      base::AppendUtf8(enc, v);
      const auto last = static_cast<std::uint8_t>(enc.back());
      if (std::find(in.keys.begin(), in.keys.end(), last) == in.keys.end()) in.keys.push_back(last);
      in.lengths |= static_cast<std::uint8_t>(1u << enc.size());
    }
    in.uniform = (in.lengths & (in.lengths - 1)) == 0 ? __builtin_ctz(in.lengths) : 0;
    in.ok = in.keys.size() <= 8;
    in.freq = Frequency(e.cp);
  }
  double best = 2;
  int bestJ = -1;
  bool bestPair = false;
  for (std::size_t j = 0; j < info.size(); ++j) {
    if (!info[j].ok) continue;
    if (j > 0 && info[j - 1].ok && info[j].uniform) {
      const double s = info[j - 1].freq * info[j].freq;
      if (s < best || !bestPair) {
        best = s;
        bestJ = static_cast<int>(j);
        bestPair = true;
      }
    } else if (!bestPair && info[j].freq < best) {
      best = info[j].freq;
      bestJ = static_cast<int>(j);
    }
  }
  if (bestJ < 0) return;
  Filter& f = seg.filter;
  f.enabled = true;
  f.anchor = bestJ;
  const Info& a = info[bestJ];
  f.n1 = static_cast<int>(a.keys.size());
  std::copy(a.keys.begin(), a.keys.end(), f.keys1);
  f.lengths = a.lengths;
  if (bestPair) {
    const Info& b = info[bestJ - 1];
    f.pair = true;
    f.dist = a.uniform;
    f.n2 = static_cast<int>(b.keys.size());
    std::copy(b.keys.begin(), b.keys.end(), f.keys2);
  }
}

namespace {

using Filter = LikePattern::Filter;

inline bool InKeys(std::uint8_t b, const std::uint8_t* keys, int n) {
  for (int j = 0; j < n; ++j)
    if (keys[j] == b) return true;
  return false;
}

template <class Fn>
bool ScanScalar(const unsigned char* s, std::size_t n, std::size_t i, const Filter& f, Fn& fn) {
  for (; i < n; ++i) {
    if (!InKeys(s[i], f.keys1, f.n1)) continue;
    if (f.pair && !InKeys(s[i - f.dist], f.keys2, f.n2)) continue;
    if (fn(i)) return true;
  }
  return false;
}

#ifdef ZYL_LIKE_X86
// Key sets are padded to N1/N2 entries by repeating their first key, so the compare count
// is fixed at compile time.
template <int N1, int N2, class Fn>
bool ScanSse2(const unsigned char* s, std::size_t n, std::size_t i, const Filter& f, Fn& fn) {
  __m128i k1[N1], k2[N2 > 0 ? N2 : 1];
  for (int j = 0; j < N1; ++j) k1[j] = _mm_set1_epi8(static_cast<char>(f.keys1[j < f.n1 ? j : 0]));
  for (int j = 0; j < N2; ++j) k2[j] = _mm_set1_epi8(static_cast<char>(f.keys2[j < f.n2 ? j : 0]));
  for (; i + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i m = _mm_cmpeq_epi8(a, k1[0]);
    for (int j = 1; j < N1; ++j) m = _mm_or_si128(m, _mm_cmpeq_epi8(a, k1[j]));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(m));
    if (!mask) continue;
    if constexpr (N2 > 0) {
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i - f.dist));
      __m128i m2 = _mm_cmpeq_epi8(b, k2[0]);
      for (int j = 1; j < N2; ++j) m2 = _mm_or_si128(m2, _mm_cmpeq_epi8(b, k2[j]));
      mask &= static_cast<unsigned>(_mm_movemask_epi8(m2));
    }
    while (mask) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (fn(i + bit)) return true;
      mask &= mask - 1;
    }
  }
  return ScanScalar(s, n, i, f, fn);
}

template <int N1, int N2, class Fn>
__attribute__((target("avx2"))) bool ScanAvx2(const unsigned char* s, std::size_t n, std::size_t i,
                                              const Filter& f, Fn& fn) {
  __m256i k1[N1], k2[N2 > 0 ? N2 : 1];
  for (int j = 0; j < N1; ++j)
    k1[j] = _mm256_set1_epi8(static_cast<char>(f.keys1[j < f.n1 ? j : 0]));
  for (int j = 0; j < N2; ++j)
    k2[j] = _mm256_set1_epi8(static_cast<char>(f.keys2[j < f.n2 ? j : 0]));
  for (; i + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i m = _mm256_cmpeq_epi8(a, k1[0]);
    for (int j = 1; j < N1; ++j) m = _mm256_or_si256(m, _mm256_cmpeq_epi8(a, k1[j]));
    if constexpr (N2 > 0) {
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i - f.dist));
      __m256i m2 = _mm256_cmpeq_epi8(b, k2[0]);
      for (int j = 1; j < N2; ++j) m2 = _mm256_or_si256(m2, _mm256_cmpeq_epi8(b, k2[j]));
      m = _mm256_and_si256(m, m2);
    }
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(m));
    while (mask) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (fn(i + bit)) return true;
      mask &= mask - 1;
    }
  }
  return ScanScalar(s, n, i, f, fn);
}

bool HaveAvx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}

template <int N1, int N2, class Fn>
bool ScanWidth(const unsigned char* s, std::size_t n, std::size_t i, const Filter& f, Fn& fn) {
  if (HaveAvx2()) return ScanAvx2<N1, N2>(s, n, i, f, fn);
  return ScanSse2<N1, N2>(s, n, i, f, fn);
}

template <int N1, class Fn>
bool ScanN2(const unsigned char* s, std::size_t n, std::size_t i, const Filter& f, Fn& fn) {
  if (!f.pair) return ScanWidth<N1, 0>(s, n, i, f, fn);
  if (f.n2 <= 2) return ScanWidth<N1, 2>(s, n, i, f, fn);
  if (f.n2 <= 4) return ScanWidth<N1, 4>(s, n, i, f, fn);
  return ScanWidth<N1, 8>(s, n, i, f, fn);
}
#endif

// Calls fn(i) for every byte index i >= start that passes the filter, in increasing order,
// until fn returns true; returns whether it did.
template <class Fn>
bool Scan(const unsigned char* s, std::size_t n, std::size_t start, const Filter& f, Fn& fn) {
  if (f.pair && start < static_cast<std::size_t>(f.dist)) start = f.dist;
#ifdef ZYL_LIKE_X86
  if (f.n1 <= 2) return ScanN2<2>(s, n, start, f, fn);
  if (f.n1 <= 4) return ScanN2<4>(s, n, start, f, fn);
  return ScanN2<8>(s, n, start, f, fn);
#else
  return ScanScalar(s, n, start, f, fn);
#endif
}

}  // namespace

bool LikePattern::ElemMatches(const Elem& e, char32_t folded) const {
  switch (e.kind) {
    case ElemKind::Literal:
      return folded == e.cp;
    case ElemKind::Any:
      return true;
    case ElemKind::Digit:
      return folded >= U'0' && folded <= U'9';
    case ElemKind::Class:
      return classes_[e.cls].Contains(folded);
  }
  return false;
}

bool LikePattern::MatchAt(const Segment& seg, const View& t, std::size_t v,
                          std::size_t& end) const {
  const std::size_t size = t.size();
  for (const Elem& e : seg.elems) {
    if (v >= size) return false;
    const char32_t c = t.Decode(v);
    if (e.kind == ElemKind::Any) continue;
    if (!ElemMatches(e, Fold(c, t.tables))) return false;
  }
  end = v;
  return true;
}

bool LikePattern::Find(const Segment& seg, const View& t, std::size_t from, std::size_t limit,
                       std::size_t& end) const {
  const Filter& f = seg.filter;
  if (f.enabled) {
    bool found = false;
    const char32_t anchorCp = seg.elems[f.anchor].cp;
    auto check = [&](std::size_t i) -> bool {
      for (int l = 4; l >= 1; --l) {
        if (!(f.lengths & (1u << l)) || i + 1 < static_cast<std::size_t>(l)) continue;
        const std::size_t b = i + 1 - l;
        std::size_t e = b;
        const char32_t c = DecodeAt(t.body, t.n, e);
        if (e != i + 1 || Fold(c, t.tables) != anchorCp) continue;
        std::size_t v = b + t.pad;
        bool ok = true;
        for (int k = 0; k < f.anchor; ++k) {
          if (v == 0) {
            ok = false;
            break;
          }
          v = t.Prev(v);
        }
        if (!ok || v < from) continue;
        std::size_t mend = 0;
        if (MatchAt(seg, t, v, mend)) {
          // Later candidates end later still, so one past the limit ends the search.
          if (mend <= limit) {
            end = mend;
            found = true;
          }
          return true;
        }
      }
      return false;
    };
    const std::size_t start = from > t.pad ? from - t.pad : 0;
    Scan(t.body, t.n, start, f, check);
    return found;
  }
  const std::size_t size = t.size();
  for (std::size_t v = from; v < size;) {
    std::size_t mend = 0;
    if (MatchAt(seg, t, v, mend)) {
      if (mend <= limit) {
        end = mend;
        return true;
      }
      return false;
    }
    t.Decode(v);
  }
  return false;
}

bool LikePattern::Match(const View& t) const {
  const std::size_t size = t.size();
  if (!hasStar_) {
    std::size_t end = 0;
    return MatchAt(segments_[0], t, 0, end) && end == size;
  }
  if (ProvableByPrefix()) {
    std::size_t end = 0;
    return MatchLeading(t, end);
  }
  std::size_t pos = 0;
  const Segment& first = segments_.front();
  if (!first.elems.empty() && !MatchAt(first, t, 0, pos)) return false;
  const Segment& last = segments_.back();
  std::size_t limit = size;
  if (!last.elems.empty()) {
    std::size_t s = size;
    for (std::size_t k = 0; k < last.elems.size(); ++k) {
      if (s <= pos) return false;
      s = t.Prev(s);
    }
    if (s < pos) return false;
    std::size_t e = 0;
    if (!MatchAt(last, t, s, e) || e != size) return false;
    limit = s;
  }
  for (std::size_t i = 1; i + 1 < segments_.size(); ++i) {
    const Segment& seg = segments_[i];
    if (seg.elems.empty()) continue;
    std::size_t end = 0;
    if (!Find(seg, t, pos, limit, end)) return false;
    pos = end;
  }
  return true;
}

bool LikePattern::MatchLeading(const View& t, std::size_t& end) const {
  // The segments in turn, each at its first place after the one before: where the leftmost
  // choice fails, no later one succeeds. The last segment is empty (the pattern ends with "*").
  std::size_t pos = 0;
  const Segment& first = segments_.front();
  if (!first.elems.empty() && !MatchAt(first, t, 0, pos)) return false;
  for (std::size_t i = 1; i + 1 < segments_.size(); ++i) {
    const Segment& seg = segments_[i];
    if (seg.elems.empty()) continue;
    std::size_t segEnd = 0;
    if (!Find(seg, t, pos, t.size(), segEnd)) return false;
    pos = segEnd;
  }
  end = pos;
  return true;
}

bool LikePattern::MatchesEveryTextStartingWith(std::string_view prefix, bool padded) const {
  if (!ProvableByPrefix()) return false;
  const View v{reinterpret_cast<const unsigned char*>(prefix.data()), prefix.size(),
               padded ? std::size_t{1} : 0, Tables()};
  std::size_t end = 0;
  if (!MatchLeading(v, end)) return false;
  // Reading a character looks at most four bytes ahead of its start, and the virtual blank
  // after the prefix is no blank of the longer text. A match that ends four bytes or more
  // before the prefix's end read only bytes the whole text has in the same places.
  return end + kCharLookahead <= v.pad + v.n;
}

bool LikePattern::Matches(std::string_view text) const {
  const View v{reinterpret_cast<const unsigned char*>(text.data()), text.size(), 0, Tables()};
  return Match(v);
}

bool LikePattern::MatchesPadded(std::string_view text) const {
  const View v{reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1, Tables()};
  return Match(v);
}

std::vector<std::u32string> LikePattern::LiteralRuns() const {
  std::vector<std::u32string> runs;
  for (const Segment& seg : segments_) {
    std::u32string run;
    for (const Elem& e : seg.elems) {
      if (e.kind == ElemKind::Literal) {
        run += e.cp;
        continue;
      }
      if (!run.empty()) runs.push_back(std::move(run));
      run.clear();
    }
    if (!run.empty()) runs.push_back(std::move(run));
  }
  return runs;
}

}  // namespace zyl::db
