// The logic behind showing a found document with its hits marked and stepping from hit to hit.
// Positions and lengths count characters (code points) of the shown text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::search {

// The stored content as it is shown: CR LF stays, every lone CR becomes CR LF, and runs of five
// NUL characters are removed.
std::string NormaliseContent(std::string_view content);

// The search words of a search-box text: trimmed, split at single blanks, empty words left out
// (two blanks in a row would otherwise give a word that matches everywhere).
std::vector<std::string> SearchWords(std::string_view searchText);

struct TextRange {
  std::size_t start = 0;
  std::size_t length = 0;
  bool operator==(const TextRange&) const = default;
};

// A text prepared for case-insensitive finding.
class FoundText {
 public:
  explicit FoundText(std::string_view utf8);

  std::size_t size() const { return folded_.size(); }
  // First occurrence of `word` at or after `from`, case-insensitive; with `wholeWord` only where
  // neither neighbour is a letter or digit. nullopt when none.
  std::optional<std::size_t> Find(std::string_view word, std::size_t from, bool wholeWord) const;
  // Last occurrence that lies entirely within the first `limit` characters.
  std::optional<std::size_t> FindLastWithin(std::string_view word, std::size_t limit) const;

 private:
  bool IsWordChar(std::size_t i) const;
  std::u32string original_;
  std::u32string folded_;
};

// Every hit of every word, in word order then position order (what the view marks).
std::vector<TextRange> HiLightRanges(const FoundText& text, const std::vector<std::string>& words,
                                     bool wholeWord);

// The next hit after the selection start `selStart` (searching from selStart + 1): the nearest
// hit of any word, ties to the earlier word. nullopt means: step to the next document.
std::optional<TextRange> SelNext(const FoundText& text, const std::vector<std::string>& words,
                                 std::size_t selStart, bool wholeWord);
// The first word (in word order) that has an occurrence within the first selStart + 1
// characters gives its last such occurrence. nullopt means: step to the previous document.
std::optional<TextRange> SelPrev(const FoundText& text, const std::vector<std::string>& words,
                                 std::size_t selStart);

// Index (1-based) of the entry after / before `current` among `count` entries; the same entry at
// the ends.
std::size_t NextDocumentIndex(std::size_t current, std::size_t count);
std::size_t PreviousDocumentIndex(std::size_t current, std::size_t count);

}  // namespace zyl::search
