#include "base/FileMask.h"

#include "base/Strings.h"

namespace zyl::base {

namespace {

// Length in bytes of the UTF-8 sequence starting at `pos`; a malformed byte counts as one.
std::size_t CharLength(std::string_view s, std::size_t pos) {
  const auto b = static_cast<unsigned char>(s[pos]);
  if (b < 0x80) return 1;
  std::size_t n = 1;
  if (b >= 0xF0 && b < 0xF8) {
    n = 4;
  } else if (b >= 0xE0) {
    n = b < 0xF0 ? 3 : 1;
  } else if (b >= 0xC2) {
    n = 2;
  }
  if (pos + n > s.size()) return 1;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80) return 1;
  return n;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text) {
  // Most masks are "*" and a literal ending ("*.txt"): a suffix comparison does.
  if (pattern.size() > 1 && pattern[0] == '*' &&
      pattern.find_first_of("*?", 1) == std::string_view::npos)
    return text.size() >= pattern.size() - 1 &&
           text.substr(text.size() - (pattern.size() - 1)) == pattern.substr(1);
  // Greedy match with one backtracking point (the last "*"): linear for the masks people
  // write, and never worse than pattern length times text length.
  std::size_t p = 0, t = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      t += CharLength(text, t);
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      starT += CharLength(text, starT);
      t = starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

FileMask::FileMask(std::string_view mask) : text_(mask), folded_(FoldCase(mask)) {
  const std::string_view f = folded_;
  if (f.size() >= 2 && f.substr(f.size() - 2) == ".*") {
    tail_ = Tail::AnyExtension;
    withoutExtension_ = f.substr(0, f.size() - 2);
  } else if (!f.empty() && f.back() == '.' && f.find_first_not_of('.') != std::string_view::npos) {
    tail_ = Tail::NoExtension;
    withoutExtension_ = f.substr(0, f.size() - 1);
  }
}

bool FileMask::Matches(std::string_view name) const {
  return MatchesFolded(FoldCase(name));
}

bool FileMask::MatchesFolded(std::string_view name) const {
  const bool hasDot = name.find('.') != std::string_view::npos;
  switch (tail_) {
    case Tail::Plain:
      return WildcardMatch(folded_, name);
    case Tail::AnyExtension:
      return WildcardMatch(folded_, name) || (!hasDot && WildcardMatch(withoutExtension_, name));
    case Tail::NoExtension:
      return !hasDot && WildcardMatch(withoutExtension_, name);
  }
  return false;
}

}  // namespace zyl::base
