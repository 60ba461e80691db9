#include "search/Highlight.h"

#include <unicode/uchar.h>

#include "base/Strings.h"
#include "base/Utf8.h"

namespace zyl::search {

std::string NormaliseContent(std::string_view content) {
  std::string s = base::Replace(content, "\r\n", "~~~~~~~");
  s = base::Replace(s, "\r", "\r\n");
  s = base::Replace(s, "~~~~~~~", "\r\n");
  return base::Replace(s, std::string_view("\0\0\0\0\0", 5), "");
}

std::vector<std::string> SearchWords(std::string_view searchText) {
  std::vector<std::string> words;
  for (std::string& w : base::Split(base::TrimView(searchText), " "))
    if (!w.empty()) words.push_back(std::move(w));
  return words;
}

namespace {
std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t p = 0; p < utf8.size();) out.push_back(base::DecodeUtf8At(utf8, p));
  return out;
}
std::u32string Fold(const std::u32string& s) {
  std::u32string out(s);
  for (char32_t& c : out) c = base::FoldCodePoint(c);
  return out;
}
}  // namespace

FoundText::FoundText(std::string_view utf8) : original_(Decode(utf8)), folded_(Fold(original_)) {}

bool FoundText::IsWordChar(std::size_t i) const {
  return u_isalnum(static_cast<UChar32>(original_[i])) != 0;
}

std::optional<std::size_t> FoundText::Find(std::string_view word, std::size_t from,
                                           bool wholeWord) const {
  const std::u32string w = Fold(Decode(word));
  if (w.empty()) return std::nullopt;
  std::size_t p = from;
  while (true) {
    p = folded_.find(w, p);
    if (p == std::u32string::npos) return std::nullopt;
    if (!wholeWord) return p;
    const bool before = p > 0 && IsWordChar(p - 1);
    const bool after = p + w.size() < folded_.size() && IsWordChar(p + w.size());
    if (!before && !after) return p;
    ++p;
  }
}

std::optional<std::size_t> FoundText::FindLastWithin(std::string_view word,
                                                     std::size_t limit) const {
  const std::u32string w = Fold(Decode(word));
  if (w.empty() || w.size() > limit) return std::nullopt;
  const std::size_t p = folded_.rfind(w, std::min(limit, folded_.size()) - w.size());
  if (p == std::u32string::npos) return std::nullopt;
  return p;
}

std::vector<TextRange> HiLightRanges(const FoundText& text, const std::vector<std::string>& words,
                                     bool wholeWord) {
  std::vector<TextRange> ranges;
  for (const std::string& word : words) {
    const std::size_t len = base::Len(word);
    if (len == 0) continue;
    for (auto p = text.Find(word, 0, wholeWord); p; p = text.Find(word, *p + 1, wholeWord))
      ranges.push_back({*p, len});
  }
  return ranges;
}

std::optional<TextRange> SelNext(const FoundText& text, const std::vector<std::string>& words,
                                 std::size_t selStart, bool wholeWord) {
  // Every later hit is selectable, however far into a long document it lies.
  std::optional<TextRange> best;
  for (const std::string& word : words) {
    const auto p = text.Find(word, selStart + 1, wholeWord);
    if (p && (!best || *p < best->start)) best = TextRange{*p, base::Len(word)};
  }
  return best;
}

std::optional<TextRange> SelPrev(const FoundText& text, const std::vector<std::string>& words,
                                 std::size_t selStart) {
  for (const std::string& word : words) {
    const auto p = text.FindLastWithin(word, selStart + 1);
    if (p) return TextRange{*p, base::Len(word)};
  }
  return std::nullopt;
}

std::size_t NextDocumentIndex(std::size_t current, std::size_t count) {
  return current < count ? current + 1 : current;
}

std::size_t PreviousDocumentIndex(std::size_t current, std::size_t count) {
  return current > 1 ? current - 1 : current;
}

}  // namespace zyl::search
