// String helpers with the semantics the program's algorithms are written in:
// Split keeps empty pieces, Replace works left to right in one pass, Trim removes blanks
// (spaces) only, and Left/Mid/Right/Len/InStr count positions in code points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zyl::base {

// Splits at every occurrence of `sep`, keeping empty pieces ("a;;b" gives "a", "", "b";
// "a;" gives "a", ""). An empty text gives no pieces at all. An empty separator gives
// the whole text as one piece.
std::vector<std::string> Split(std::string_view text, std::string_view sep);

std::string Join(const std::vector<std::string>& pieces, std::string_view sep);

// Replaces every occurrence of `find`, scanning left to right; replaced text is not
// searched again ("aaa" with "aa" -> "b" gives "ba"). An empty `find` changes nothing.
std::string Replace(std::string_view text, std::string_view find, std::string_view with);

// Remove leading/trailing blanks (the space character only; tabs and line breaks stay).
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// Code-point based substrings. `start` of Mid is 1-based; lengths past the end are cut.
std::string Left(std::string_view text, std::size_t n);
std::string Right(std::string_view text, std::size_t n);
std::string Mid(std::string_view text, std::size_t start);
std::string Mid(std::string_view text, std::size_t start, std::size_t length);
std::size_t Len(std::string_view text);

// 1-based code-point position of the first `find` at or after code point `start` (1-based),
// 0 when not found. An empty `find` is found at `start` (when start <= Len + 1).
std::size_t InStr(std::size_t start, std::string_view text, std::string_view find);
inline std::size_t InStr(std::string_view text, std::string_view find) {
  return InStr(1, text, find);
}
// 1-based code-point position of the last occurrence, 0 when none.
std::size_t InStrRev(std::string_view text, std::string_view find);

// Letter case by Unicode simple case mapping (code point by code point).
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);
// Unicode simple case folding, the key of every case-insensitive comparison.
std::string FoldCase(std::string_view text);
char32_t FoldCodePoint(char32_t cp);
// Every code point below `limit` that case folding changes, with its folding, in code point
// order. Only the code points the case data marks as case-sensitive are folded to find them, so
// this costs a few thousand lookups instead of one per code point.
std::vector<std::pair<char32_t, char32_t>> FoldingChanges(char32_t limit);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Byte position of the first case-insensitive (simple case folding) match of `needle` at or
// after byte `from`; npos when none. Positions are byte offsets into `haystack`.
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
// The same for a needle of ASCII characters only, comparing ASCII letters without case; faster.
std::size_t FindAsciiNoCase(std::string_view haystack, std::string_view needle,
                            std::size_t from = 0);
std::string AsciiLower(std::string_view text);

// The leading numeric part of a text, as the settings and forms read numbers: blanks are
// skipped, then an optional sign, digits, an optional fraction and exponent. No number gives 0.
double Val(std::string_view text);
// Val rounded to the nearest integer (halves to even, as the settings reader rounds),
// clamped to the 64-bit range.
std::int64_t ValInt(std::string_view text);

// A number written the way the log texts write numbers: a leading blank for the sign position
// of a non-negative number (" 5"), a minus sign otherwise ("-5").
std::string StrNum(std::int64_t n);

}  // namespace zyl::base
