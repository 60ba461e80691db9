#include "base/Strings.h"

#include <unicode/uchar.h>
#include <unicode/uset.h>

#include <cmath>
#include <limits>

#include "base/Utf8.h"

namespace zyl::base {

std::vector<std::string> Split(std::string_view text, std::string_view sep) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (sep.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t p = text.find(sep, start);
    if (p == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      break;
    }
    pieces.emplace_back(text.substr(start, p - start));
    start = p + sep.size();
  }
  return pieces;
}

std::string Join(const std::vector<std::string>& pieces, std::string_view sep) {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i) out.append(sep);
    out.append(pieces[i]);
  }
  return out;
}

std::string Replace(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  while (true) {
    const std::size_t p = text.find(find, start);
    if (p == std::string_view::npos) break;
    out.append(text.substr(start, p - start));
    out.append(with);
    start = p + find.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string_view TrimView(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}

std::string Trim(std::string_view text) {
  return std::string(TrimView(text));
}

std::string LTrim(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  return std::string(text.substr(b));
}

std::string RTrim(std::string_view text) {
  std::size_t e = text.size();
  while (e > 0 && text[e - 1] == ' ') --e;
  return std::string(text.substr(0, e));
}

std::string Left(std::string_view text, std::size_t n) {
  return std::string(text.substr(0, CodePointOffset(text, n)));
}

std::string Right(std::string_view text, std::size_t n) {
  const std::size_t len = CodePointCount(text);
  if (n >= len) return std::string(text);
  return std::string(text.substr(CodePointOffset(text, len - n)));
}

std::string Mid(std::string_view text, std::size_t start) {
  if (start < 1) start = 1;
  return std::string(text.substr(CodePointOffset(text, start - 1)));
}

std::string Mid(std::string_view text, std::size_t start, std::size_t length) {
  if (start < 1) start = 1;
  const std::size_t b = CodePointOffset(text, start - 1);
  const std::string_view rest = text.substr(b);
  return std::string(rest.substr(0, CodePointOffset(rest, length)));
}

std::size_t Len(std::string_view text) {
  return CodePointCount(text);
}

std::size_t InStr(std::size_t start, std::string_view text, std::string_view find) {
  if (start < 1) start = 1;
  const std::size_t len = CodePointCount(text);
  if (start > len + 1) return 0;
  const std::size_t b = CodePointOffset(text, start - 1);
  const std::size_t p = text.find(find, b);
  if (p == std::string_view::npos) return 0;
  return CodePointCount(text.substr(0, p)) + 1;
}

std::size_t InStrRev(std::string_view text, std::string_view find) {
  const std::size_t p = text.rfind(find);
  if (p == std::string_view::npos) return 0;
  return CodePointCount(text.substr(0, p)) + 1;
}

namespace {
template <typename F>
std::string MapCodePoints(std::string_view text, F f) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(f(b)));
      ++pos;
      continue;
    }
    const std::size_t before = pos;
    const char32_t cp = DecodeUtf8At(text, pos);
    if (cp == 0xFFFD && pos == before + 1) {
      out.push_back(text[before]);  // keep a malformed byte as it is
    } else {
      AppendUtf8(out, f(cp));
    }
  }
  return out;
}
}  // namespace

char32_t FoldCodePoint(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
}

std::vector<std::pair<char32_t, char32_t>> FoldingChanges(char32_t limit) {
  std::vector<std::pair<char32_t, char32_t>> changes;
  auto check = [&](char32_t c) {
    if (const char32_t f = FoldCodePoint(c); f != c) changes.emplace_back(c, f);
  };
  UErrorCode status = U_ZERO_ERROR;
  const USet* sensitive = u_getBinaryPropertySet(UCHAR_CASE_SENSITIVE, &status);
  if (U_FAILURE(status)) {
    for (char32_t c = 0; c < limit; ++c) check(c);
    return changes;
  }
  const std::int32_t ranges = uset_getItemCount(sensitive);
  for (std::int32_t r = 0; r < ranges; ++r) {
    UChar32 lo = 0, hi = 0;
    status = U_ZERO_ERROR;
    // A binary property's set holds ranges only, never strings.
    if (uset_getItem(sensitive, r, &lo, &hi, nullptr, 0, &status) != 0 || U_FAILURE(status))
      continue;
    for (UChar32 c = lo; c <= hi && static_cast<char32_t>(c) < limit; ++c)
      check(static_cast<char32_t>(c));
  }
  return changes;
}

std::string UCase(std::string_view text) {
  return MapCodePoints(text, [](char32_t c) -> char32_t {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
  });
}

std::string LCase(std::string_view text) {
  return MapCodePoints(text, [](char32_t c) -> char32_t {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
  });
}

std::string FoldCase(std::string_view text) {
  return MapCodePoints(text, FoldCodePoint);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = DecodeUtf8At(a, i);
    const char32_t cb = DecodeUtf8At(b, j);
    if (ca != cb && FoldCodePoint(ca) != FoldCodePoint(cb)) return false;
  }
  return i == a.size() && j == b.size();
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  // Fold the needle once; then try each code point start of the haystack.
  std::u32string fneedle;
  for (std::size_t p = 0; p < needle.size();)
    fneedle.push_back(FoldCodePoint(DecodeUtf8At(needle, p)));
  std::size_t start = from;
  while (start < haystack.size()) {
    std::size_t p = start;
    std::size_t k = 0;
    while (k < fneedle.size() && p < haystack.size()) {
      if (FoldCodePoint(DecodeUtf8At(haystack, p)) != fneedle[k]) break;
      ++k;
    }
    if (k == fneedle.size()) return start;
    DecodeUtf8At(haystack, start);  // advance by one code point
  }
  return std::string_view::npos;
}

std::size_t FindAsciiNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  if (needle.size() > haystack.size()) return std::string_view::npos;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  const char first = lower(needle[0]);
  const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
  const std::size_t last = haystack.size() - needle.size();
  for (std::size_t i = from; i <= last && i < haystack.size(); ++i) {
    // Jump to the next position where the first character can match.
    const char c = haystack[i];
    if (c != first && c != firstUpper) continue;
    std::size_t k = 1;
    while (k < needle.size() && lower(haystack[i + k]) == lower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

double Val(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++expDigits;
    if (expDigits) i = j;
  }
  const std::string number(text.substr(start, i - start));
  try {
    return std::stod(number);
  } catch (...) {
    return 0.0;  // out of range
  }
}

std::int64_t ValInt(std::string_view text) {
  const double v = std::nearbyint(Val(text));
  if (!(v > -9.2e18)) return v != v ? 0 : std::numeric_limits<std::int64_t>::min();
  if (v > 9.2e18) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(v);
}

std::string StrNum(std::int64_t n) {
  if (n < 0) return std::to_string(n);
  return " " + std::to_string(n);
}

}  // namespace zyl::base
