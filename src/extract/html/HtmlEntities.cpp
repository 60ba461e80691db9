#include "extract/html/HtmlEntities.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "base/Utf8.h"

namespace zyl::extract {

namespace {

struct NamedReference {
  std::string_view name;  // with its ";" when one is required
  std::string_view text;  // UTF-8
};

constexpr NamedReference kNamedReferences[] = {
#include "extract/html/HtmlEntityTable.inc"
};

// The longest name in the table, ";" included.
constexpr std::size_t kLongestName = 32;

// What browsers show for the C1 numbers: the Windows-1252 characters at those places.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

const NamedReference* FindName(std::string_view name) {
  const auto* end = std::end(kNamedReferences);
  const auto* it =
      std::lower_bound(std::begin(kNamedReferences), end, name,
                       [](const NamedReference& r, std::string_view n) { return r.name < n; });
  return it != end && it->name == name ? it : nullptr;
}

bool IsAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp == 0xA0) {
    out += ' ';
    return;
  }
  base::AppendUtf8(out, cp);
}

// A numeric reference at text[at] == '&' followed by '#': appends its character and returns the
// length it took, or 0 when it is not one.
std::size_t DecodeNumeric(std::string_view text, std::size_t at, std::string& out) {
  std::size_t i = at + 2;
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const std::size_t digitsStart = i;
  std::uint32_t value = 0;
  bool tooLarge = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    if (value > 0x10FFFF) {
      tooLarge = true;
      value = 0x110000;  // stays out of range whatever follows
    }
  }
  if (i == digitsStart) return 0;
  if (i < text.size() && text[i] == ';') ++i;
  char32_t cp = value;
  if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
    cp = 0xFFFD;
  else if (value >= 0x80 && value <= 0x9F)
    cp = kWindows1252High[value - 0x80];
  AppendCodePoint(out, cp);
  return i - at;
}

// A named reference at text[at] == '&': appends its text and returns the length it took, or 0.
std::size_t DecodeNamed(std::string_view text, std::size_t at, std::string& out) {
  std::size_t i = at + 1;
  while (i < text.size() && i - at <= kLongestName && IsAlnum(text[i])) ++i;
  const std::string_view name = text.substr(at + 1, i - at - 1);
  if (name.empty()) return 0;
  if (i < text.size() && text[i] == ';') {
    if (const auto* ref = FindName(text.substr(at + 1, name.size() + 1))) {
      out += ref->name == "nbsp;" ? std::string_view(" ") : ref->text;
      return name.size() + 2;
    }
  }
  // The old names need no ";", and the longest one that starts the word counts ("&copy2002").
  for (std::size_t len = name.size(); len >= 2; --len) {
    if (const auto* ref = FindName(name.substr(0, len))) {
      out += ref->name == "nbsp" ? std::string_view(" ") : ref->text;
      return len + 1;
    }
  }
  return 0;
}

}  // namespace

std::string DecodeHtmlEntities(std::string&& owned) {
  std::size_t amp = owned.find('&');
  if (amp == std::string::npos) return std::move(owned);
  const std::string_view text = owned;
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (amp != std::string_view::npos) {
    out.append(text.substr(pos, amp - pos));
    const bool numeric = amp + 1 < text.size() && text[amp + 1] == '#';
    const std::size_t used = numeric ? DecodeNumeric(text, amp, out) : DecodeNamed(text, amp, out);
    if (used == 0) {
      out += '&';
      pos = amp + 1;
    } else {
      pos = amp + used;
    }
    amp = text.find('&', pos);
  }
  out.append(text.substr(pos));
  return out;
}

std::string DecodeHtmlEntities(std::string_view text) {
  return DecodeHtmlEntities(std::string(text));
}

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingBlank = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      pendingBlank = !out.empty();
      continue;
    }
    if (pendingBlank) out += ' ';
    pendingBlank = false;
    out += c;
  }
  return out;
}

}  // namespace zyl::extract
