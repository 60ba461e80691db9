#include "extract/core/CyrillicDetector.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zyl::extract {

namespace {

#include "extract/core/CyrillicModel.inc"

constexpr std::size_t kCandidates = std::size(kByteClass);
static_assert(kCandidates == 5, "one row of byte classes per SingleByteCyrillic value");

// The score of one entry after another: the class pair's log-probability and, for a Cyrillic
// letter, that of its case after the previous character (no letter, lower case, upper case).
// One table lookup per byte and candidate keeps detection to a small part of reading a file.
using PairTable = std::array<std::array<float, kEntries>, kEntries>;

PairTable BuildPairTable() {
  const auto classOf = [](int entry) { return entry >= kClasses ? entry - kClasses : entry; };
  const auto caseState = [&](int entry) {
    if (classOf(entry) > kLatinClass) return 0;
    return entry >= kClasses ? 2 : 1;
  };
  PairTable table{};
  for (int prev = 0; prev < kEntries; ++prev) {
    for (int next = 0; next < kEntries; ++next) {
      float score = kPairLog[classOf(prev)][classOf(next)];
      if (classOf(next) <= kLastLetterClass)
        score += kCaseLog[caseState(prev)][next >= kClasses ? 1 : 0];
      table[prev][next] = score;
    }
  }
  return table;
}

// Where the sample is weak evidence (an English text whose only byte above 127 is "©" or "…",
// one word of Russian), the code page a text is likelier to be in from the start decides:
// Windows-1251 first, the program's own and by far the commonest, then KOI8-R and CP866, then
// ISO-8859-5 and MacCyrillic. A few letters of Russian outweigh these.
constexpr std::array<float, kCandidates> kPrior = {0.0f, -3.0f, -3.0f, -4.0f, -4.0f};

// How far ahead (in natural-log units of likelihood) the best reading must be for the detector
// to stop early, and how often it looks. A lead of 40 means odds of e^40 under the model; the
// benchmark's accuracy table is the same with and without stopping early.
constexpr float kCertainLead = 40.0f;
constexpr std::size_t kCheckEvery = 128;
// Bytes above 127 after which the verdict stands whatever the lead. Windows-1251 and
// MacCyrillic read lower-case text alike but for я, so their lead grows slowly; a thousand
// letters hold some twenty я, more than the benchmark ever needed.
constexpr std::size_t kEnoughHighBytes = 512;

float Lead(const std::array<float, kCandidates>& score) {
  float best = score[0], second = -1e30f;
  for (std::size_t c = 1; c < kCandidates; ++c) {
    if (score[c] > best) {
      second = best;
      best = score[c];
    } else if (score[c] > second) {
      second = score[c];
    }
  }
  return best - second;
}

}  // namespace

SingleByteCyrillic GuessSingleByteCyrillic(std::string_view sample) {
  static const PairTable pairs = BuildPairTable();
  // The candidates' entries of one byte side by side: one cache line per byte read.
  static const auto entries = [] {
    std::array<std::array<std::uint8_t, kCandidates>, 256> byByte{};
    for (std::size_t b = 0; b < 256; ++b)
      for (std::size_t c = 0; c < kCandidates; ++c) byByte[b][c] = kByteClass[c][b];
    return byByte;
  }();
  std::array<float, kCandidates> score = kPrior;
  std::array<std::uint8_t, kCandidates> prev;
  prev.fill(kSpaceClass);
  bool prevHigh = false;
  bool anyHigh = false;
  int before = -1, last = -1;  // the two previous bytes
  std::size_t highBytes = 0;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    // Once one reading leads every other by far, the rest of the sample cannot turn the
    // verdict round; stopping there keeps detection cheap on long samples.
    if (i % kCheckEvery == 0 && i > 0 && Lead(score) > kCertainLead) break;
    const auto byte = static_cast<unsigned char>(sample[i]);
    const bool high = byte >= 0x80;
    if (high && ++highBytes > kEnoughHighBytes) break;
    anyHigh |= high;
    // The third and later bytes of a run of one byte (a table's line drawn with one box
    // character, a row of dashes) say nothing more than its start does: no prose repeats one
    // letter three times.
    const bool runGoesOn = byte == last && byte == before;
    before = last;
    last = byte;
    if (runGoesOn) continue;
    // Pairs of two ASCII bytes read the same in every candidate and cannot tell them apart.
    if (high || prevHigh) {
      const auto& entry = entries[byte];
      for (std::size_t c = 0; c < kCandidates; ++c) {
        score[c] += pairs[prev[c]][entry[c]];
        prev[c] = entry[c];
      }
    } else {
      prev.fill(entries[byte][0]);
    }
    prevHigh = high;
  }
  if (!anyHigh) return SingleByteCyrillic::Windows1251;
  std::size_t best = 0;
  for (std::size_t c = 1; c < kCandidates; ++c)
    if (score[c] > score[best]) best = c;
  return static_cast<SingleByteCyrillic>(best);
}

}  // namespace zyl::extract
