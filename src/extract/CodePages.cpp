#include "extract/CodePages.h"

#include <array>
#include <cstdint>

#include "base/Cp1251.h"
#include "base/Utf8.h"

namespace zyl::extract {

namespace {

// Marks a byte that a source code page has no Windows-1251 counterpart for.
constexpr std::uint8_t kNone = 0;

// KOI8-R upper half in Windows-1251. The letters follow the KOI8-R order
// (ю а б ц д е ф г х и й к л м н о п я р с т у ж в ь ы з ш э щ ч ъ, small then capital);
// the pseudo-graphics and symbols of 0x80-0xBF go to the fixed places the program has
// always used, so that old indexes and new ones agree.
constexpr std::array<std::uint8_t, 128> kKoi8 = {
    // 0x80
    0x94,
    0x83,
    0xAA,
    0x8F,
    0x90,
    0xA9,
    0x93,
    0x84,
    0x92,
    0x91,
    0x95,
    0xAF,
    0xAC,
    0xAB,
    0xAD,
    0xAE,
    // 0x90
    0x80,
    0x81,
    0x82,
    0xB2,
    0xBC,
    0xBF,
    0xB9,
    0xB5,
    0xB1,
    0xB0,
    0xBA,
    0xB3,
    0xB6,
    0xBB,
    0xB7,
    0xB4,
    // 0xA0
    0x9D,
    0x8A,
    0xA5,
    0xB8,
    0xA6,
    0x99,
    0x88,
    0x87,
    0x8B,
    0xA4,
    0xA3,
    0x98,
    0x8E,
    0x8D,
    0x8C,
    0x96,
    // 0xB0
    0x97,
    0x9C,
    0x85,
    0xA8,
    0x86,
    0x89,
    0xA1,
    0xA2,
    0x9B,
    0x9F,
    0xA0,
    0x9A,
    0xBE,
    0xA7,
    0x9E,
    0xBD,
    // 0xC0 small letters
    0xFE,
    0xE0,
    0xE1,
    0xF6,
    0xE4,
    0xE5,
    0xF4,
    0xE3,
    0xF5,
    0xE8,
    0xE9,
    0xEA,
    0xEB,
    0xEC,
    0xED,
    0xEE,
    0xEF,
    0xFF,
    0xF0,
    0xF1,
    0xF2,
    0xF3,
    0xE6,
    0xE2,
    0xFC,
    0xFB,
    0xE7,
    0xF8,
    0xFD,
    0xF9,
    0xF7,
    0xFA,
    // 0xE0 capital letters
    0xDE,
    0xC0,
    0xC1,
    0xD6,
    0xC4,
    0xC5,
    0xD4,
    0xC3,
    0xD5,
    0xC8,
    0xC9,
    0xCA,
    0xCB,
    0xCC,
    0xCD,
    0xCE,
    0xCF,
    0xDF,
    0xD0,
    0xD1,
    0xD2,
    0xD3,
    0xC6,
    0xC2,
    0xDC,
    0xDB,
    0xC7,
    0xD8,
    0xDD,
    0xD9,
    0xD7,
    0xDA,
};

// ISO-8859-5 upper half in Windows-1251. 0x80-0x9F are control codes and 0xFD is the section
// sign; the table deliberately has no entry for them, so they come out as "?".
constexpr std::array<std::uint8_t, 128> kIso = {
    // 0x80, 0x90: no entries
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    // 0xA0: NBSP Ё Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ SHY Ў Џ
    0xA0,
    0xA8,
    0x80,
    0x81,
    0xAA,
    0xBD,
    0xB2,
    0xAF,
    0xA3,
    0x8A,
    0x8C,
    0x8E,
    0x8D,
    0xAD,
    0xA1,
    0x8F,
    // 0xB0-0xCF: А..Я
    0xC0,
    0xC1,
    0xC2,
    0xC3,
    0xC4,
    0xC5,
    0xC6,
    0xC7,
    0xC8,
    0xC9,
    0xCA,
    0xCB,
    0xCC,
    0xCD,
    0xCE,
    0xCF,
    0xD0,
    0xD1,
    0xD2,
    0xD3,
    0xD4,
    0xD5,
    0xD6,
    0xD7,
    0xD8,
    0xD9,
    0xDA,
    0xDB,
    0xDC,
    0xDD,
    0xDE,
    0xDF,
    // 0xD0-0xEF: а..я
    0xE0,
    0xE1,
    0xE2,
    0xE3,
    0xE4,
    0xE5,
    0xE6,
    0xE7,
    0xE8,
    0xE9,
    0xEA,
    0xEB,
    0xEC,
    0xED,
    0xEE,
    0xEF,
    0xF0,
    0xF1,
    0xF2,
    0xF3,
    0xF4,
    0xF5,
    0xF6,
    0xF7,
    0xF8,
    0xF9,
    0xFA,
    0xFB,
    0xFC,
    0xFD,
    0xFE,
    0xFF,
    // 0xF0: № ё ђ ѓ є ѕ і ї ј љ њ ћ ќ (§) ў џ
    0xB9,
    0xB8,
    0x90,
    0x83,
    0xBA,
    0xBE,
    0xB3,
    0xBF,
    0xBC,
    0x9A,
    0x9C,
    0x9E,
    0x9D,
    kNone,
    0xA2,
    0x9F,
};

// CP866 upper half in Windows-1251. The letters and the few symbols both code pages share map
// exactly. For the rest Windows-1251 has no character, so the nearest plain look-alike is used,
// as DOS-era text viewers do:
//   vertical box lines         │ ║                                      -> '|'
//   horizontal box lines       ─ -> '-',  ═ -> '='
//   corners, tees and crosses  ┤ ╡ ╢ ╖ ╕ ╣ ╗ ╝ ╜ ╛ ┐ └ ┴ ┬ ├ ┼ ╞ ╟ ╚ ╔ ╩ ╦ ╠ ╬ ╧ ╨ ╤ ╥ ╙ ╘ ╒ ╓
//                              ╫ ╪ ┘ ┌                                   -> '+'
//   shades and blocks          ░ ▒ ▓ █ ▄ ▌ ▐ ▀                          -> '#'
//   bullet operator ∙ and middle dot ·                                   -> '·' (0xB7)
//   square root √ -> 'v',  black square ■ -> '*'
constexpr std::array<std::uint8_t, 128> kDos = {
    // 0x80-0x9F: А..Я
    0xC0,
    0xC1,
    0xC2,
    0xC3,
    0xC4,
    0xC5,
    0xC6,
    0xC7,
    0xC8,
    0xC9,
    0xCA,
    0xCB,
    0xCC,
    0xCD,
    0xCE,
    0xCF,
    0xD0,
    0xD1,
    0xD2,
    0xD3,
    0xD4,
    0xD5,
    0xD6,
    0xD7,
    0xD8,
    0xD9,
    0xDA,
    0xDB,
    0xDC,
    0xDD,
    0xDE,
    0xDF,
    // 0xA0-0xAF: а..п
    0xE0,
    0xE1,
    0xE2,
    0xE3,
    0xE4,
    0xE5,
    0xE6,
    0xE7,
    0xE8,
    0xE9,
    0xEA,
    0xEB,
    0xEC,
    0xED,
    0xEE,
    0xEF,
    // 0xB0: ░ ▒ ▓ │ ┤ ╡ ╢ ╖ ╕ ╣ ║ ╗ ╝ ╜ ╛ ┐
    '#',
    '#',
    '#',
    '|',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '|',
    '+',
    '+',
    '+',
    '+',
    '+',
    // 0xC0: └ ┴ ┬ ├ ─ ┼ ╞ ╟ ╚ ╔ ╩ ╦ ╠ ═ ╬ ╧
    '+',
    '+',
    '+',
    '+',
    '-',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '=',
    '+',
    '+',
    // 0xD0: ╨ ╤ ╥ ╙ ╘ ╒ ╓ ╫ ╪ ┘ ┌ █ ▄ ▌ ▐ ▀
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '+',
    '#',
    '#',
    '#',
    '#',
    '#',
    // 0xE0-0xEF: р..я
    0xF0,
    0xF1,
    0xF2,
    0xF3,
    0xF4,
    0xF5,
    0xF6,
    0xF7,
    0xF8,
    0xF9,
    0xFA,
    0xFB,
    0xFC,
    0xFD,
    0xFE,
    0xFF,
    // 0xF0: Ё ё Є є Ї ї Ў ў ° ∙ · √ № ¤ ■ NBSP
    0xA8,
    0xB8,
    0xAA,
    0xBA,
    0xAF,
    0xBF,
    0xA1,
    0xA2,
    0xB0,
    0xB7,
    0xB7,
    'v',
    0xB9,
    0xA4,
    '*',
    0xA0,
};

std::string MapUpperHalf(std::string_view bytes, const std::array<std::uint8_t, 128>& table) {
  std::string out(bytes);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) continue;
    const std::uint8_t mapped = table[b - 0x80];
    c = static_cast<char>(mapped == kNone ? '?' : mapped);
  }
  return out;
}

// Expected length of a UTF-8 sequence from its lead byte (0 for a continuation or bad byte).
std::size_t Utf8LeadLength(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 0;
}

// A sample is cut at a fixed byte count, which may split the last UTF-8 sequence; such a
// sample is still UTF-8 text.
bool SampleLooksLikeUtf8(std::string_view sample) {
  if (base::LooksLikeUtf8(sample)) return true;
  std::size_t start = sample.size();
  for (int back = 0; back < 3 && start > 0; ++back) {
    --start;
    const auto b = static_cast<unsigned char>(sample[start]);
    if ((b & 0xC0) != 0x80) {
      const std::size_t need = Utf8LeadLength(b);
      if (need > 1 && start + need > sample.size())
        return base::LooksLikeUtf8(sample.substr(0, start));
      return false;
    }
  }
  return false;
}

bool LooksLikeUtf16Le(std::string_view s) {
  if (s.size() < 2 || static_cast<unsigned char>(s[0]) != 0xFF ||
      static_cast<unsigned char>(s[1]) != 0xFE)
    return false;
  // The high bytes of the first three characters after the mark must agree: Russian text
  // keeps them at 0x04, plain text at 0x00. Characters missing from a very short file do
  // not count against it.
  int seen = -1;
  for (std::size_t pos : {3u, 5u, 7u}) {
    if (pos >= s.size()) break;
    const int high = static_cast<unsigned char>(s[pos]);
    if (seen >= 0 && high != seen) return false;
    seen = high;
  }
  return true;
}

}  // namespace

std::string_view CodePageName(CodePage cp) {
  switch (cp) {
    case CodePage::Utf8:
      return "utf8";
    case CodePage::Unicode:
      return "unicode";
    case CodePage::Dos:
      return "dos";
    case CodePage::Iso:
      return "iso";
    case CodePage::Koi:
      return "koi";
    case CodePage::Win:
      return "win";
  }
  return "win";
}

std::size_t CountChar(std::string_view text, unsigned char byte) {
  std::size_t n = 0;
  for (const char c : text) n += static_cast<unsigned char>(c) == byte;
  return n;
}

CodePage DetectCodePage(std::string_view sample) {
  if (SampleLooksLikeUtf8(sample)) return CodePage::Utf8;
  if (LooksLikeUtf16Le(sample)) return CodePage::Unicode;

  std::array<std::size_t, 256> c{};
  for (const char ch : sample) ++c[static_cast<unsigned char>(ch)];

  // CP866 capitals О, П, А, Т. Windows-1251 text rarely holds 0x80, 0x8E or 0x8F (Ђ, Ћ, Џ);
  // 0x92 is its curly apostrophe, so only a few such bytes together make the verdict.
  if (!(c[142] < 2 && c[143] < 2 && c[128] < 2 && c[142] + c[143] + c[128] + c[146] < 3))
    return CodePage::Dos;
  // ISO-8859-5 capitals А, О, И, Л, П.
  if (c[176] > 1 || c[190] > 1 || c[184] > 1 || c[176] + c[190] + c[184] + c[187] + c[191] >= 3)
    return CodePage::Iso;
  // 0xC1/0xD4 are the small а/т in KOI8-R but capitals in Windows-1251; 0xE1/0xF4 the reverse.
  if (2 * c[225] < c[193] || 2 * c[244] < c[212]) return CodePage::Koi;
  // М/м and Д/д: in normal prose small letters dominate.
  if (c[204] <= 2 * c[236] && c[196] <= 2 * c[228]) return CodePage::Win;
  return CodePage::Koi;
}

unsigned char Koi8ToWin(unsigned char byte) {
  return byte < 0x80 ? byte : kKoi8[byte - 0x80];
}

unsigned char IsoToWin(unsigned char byte) {
  if (byte < 0x80) return byte;
  const std::uint8_t mapped = kIso[byte - 0x80];
  return mapped == kNone ? '?' : mapped;
}

unsigned char DosCharToWin(unsigned char byte) {
  return byte < 0x80 ? byte : kDos[byte - 0x80];
}

std::string RecodeToWin(std::string_view bytes, SourceCodePage source) {
  return MapUpperHalf(bytes, source == SourceCodePage::Koi8R ? kKoi8 : kIso);
}

std::string DosToWin(std::string_view bytes) {
  return MapUpperHalf(bytes, kDos);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (char32_t{a} << 8 | b) : (char32_t{b} << 8 | a);
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        base::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    base::AppendUtf8(out, u);
  }
  return out;
}

std::string RepairUtf8(std::string_view bytes) {
  if (base::IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      out.push_back(bytes[pos++]);
      continue;
    }
    base::AppendUtf8(out, base::DecodeUtf8At(bytes, pos));
  }
  return out;
}

std::string AutoRecode(std::string_view bytes) {
  // UTF-8 is recognised on the whole text: a long ASCII start would otherwise hide it from
  // the sample.
  if (base::LooksLikeUtf8(bytes)) return std::string(bytes);
  switch (DetectCodePage(bytes.substr(0, 3000))) {
    case CodePage::Utf8:
      // The sample decided; a stray bad byte further on must not make the text invalid.
      return RepairUtf8(bytes);
    case CodePage::Unicode: {
      std::string text = Utf16ToUtf8(bytes);
      // Drop the leading character when the working code page has no place for it: that is
      // the byte-order mark.
      std::size_t pos = 0;
      if (!text.empty() && base::UnicodeToCp1251(base::DecodeUtf8At(text, pos)) < 0)
        text.erase(0, pos);
      return text;
    }
    case CodePage::Dos:
      return base::Cp1251ToUtf8(DosToWin(bytes));
    case CodePage::Iso:
      return base::Cp1251ToUtf8(RecodeToWin(bytes, SourceCodePage::Iso8859_5));
    case CodePage::Koi:
      return base::Cp1251ToUtf8(RecodeToWin(bytes, SourceCodePage::Koi8R));
    case CodePage::Win:
      break;
  }
  return base::Cp1251ToUtf8(bytes);
}

}  // namespace zyl::extract
