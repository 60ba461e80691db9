// The LIKE patterns of the dialect: "*" any run of characters, "?" one character, "#" one
// digit, "[abc]" one of a set, "[!abc]" one outside it, "[a-z]" ranges in code point order,
// "[]" nothing at all; special characters stand for themselves inside brackets ("[*]").
// Matching ignores letter case by Unicode simple case folding.
//
// A pattern is compiled once and then matched against many texts without allocating. The
// search runs patterns such as "*word*" and "*[!A-zа-яА-Я]word[!A-zа-яА-Я]*" over every
// stored document, so each literal run is found with a vectorised scan for two of its
// characters (all their case variants) and the full pattern is tried only there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::db {

class LikePatternError : public std::runtime_error {
 public:
  LikePatternError(std::size_t offset, const std::string& reason)
      : std::runtime_error(reason), offset_(offset) {}
  std::size_t offset() const { return offset_; }  // byte offset in the pattern

 private:
  std::size_t offset_;
};

// Longest pattern accepted, in pattern elements; keeps the worst case of a match bounded.
inline constexpr std::size_t kMaxPatternElements = 4000;

class LikePattern {
 public:
  explicit LikePattern(std::string_view pattern);  // throws LikePatternError

  bool Matches(std::string_view text) const;
  // Matches " " + text + " " without building that text.
  bool MatchesPadded(std::string_view text) const;

  // Whether a match can be proven from the start of a text alone: the pattern ends with "*",
  // so what follows a match does not matter.
  bool ProvableByPrefix() const { return hasStar_ && segments_.back().elems.empty(); }
  // True when every text that begins with `prefix` matches (padded: as MatchesPadded), so a
  // long text need not be read to its end. False says nothing: the rest may still match. A
  // match counts only when it ends clear of the prefix's last bytes, whose characters may
  // continue in the rest of the text.
  bool MatchesEveryTextStartingWith(std::string_view prefix, bool padded) const;

  const std::string& source() const { return source_; }
  // The runs of plain characters (folded) between the pattern's wildcards and classes: every
  // text the pattern matches holds each of them, in any letter case.
  std::vector<std::u32string> LiteralRuns() const;

  enum class ElemKind : std::uint8_t { Literal, Any, Digit, Class };
  struct Elem {
    ElemKind kind;
    std::uint16_t cls;  // Class: index into classes_
    char32_t cp;        // Literal: folded code point
  };
  struct CharClass {
    std::vector<std::pair<char32_t, char32_t>> ranges;
    bool negated = false;
    std::vector<std::uint64_t> low;  // answer for folded code points below kLowLimit
    bool Contains(char32_t folded) const;
    bool ContainsSlow(char32_t folded) const;
  };
  // Candidate filter of a segment: positions whose byte is one of keys1 (the last byte of
  // some case variant of the anchor element) and, when `pair`, whose byte `dist` earlier is
  // one of keys2 (the last byte of a variant of the element before the anchor).
  struct Filter {
    bool enabled = false;
    int anchor = 0;  // element index of the anchor
    std::uint8_t keys1[8] = {};
    int n1 = 0;
    bool pair = false;
    int dist = 0;
    std::uint8_t keys2[8] = {};
    int n2 = 0;
    std::uint8_t lengths = 0;  // bit l set when a variant of the anchor is l bytes long
  };
  struct Segment {
    std::vector<Elem> elems;
    Filter filter;
  };

 private:
  struct View;
  bool Match(const View& t) const;
  // The match of a pattern ending with "*": returns where the last matched character ends.
  bool MatchLeading(const View& t, std::size_t& end) const;
  bool MatchAt(const Segment& seg, const View& t, std::size_t v, std::size_t& end) const;
  bool Find(const Segment& seg, const View& t, std::size_t from, std::size_t limit,
            std::size_t& end) const;
  bool ElemMatches(const Elem& e, char32_t folded) const;
  void BuildFilter(Segment& seg) const;

  std::string source_;
  std::vector<Segment> segments_;  // the pattern is segments_[0] * segments_[1] * ...
  std::vector<CharClass> classes_;
  bool hasStar_ = false;
};

}  // namespace zyl::db
