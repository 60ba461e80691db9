#include "extract/core/CodePages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "base/Cp1251.h"
#include "base/Utf8.h"
#include "base/Utf8UpperHalf.h"
#include "extract/core/CyrillicDetector.h"

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

using base::Utf8UpperHalf;

// The characters of an upper-half table taken through Windows-1251, as RecodeToWin and
// DosToWin followed by the Windows-1251 decoding give them.
std::array<char32_t, 128> ViaWindows1251(const std::array<std::uint8_t, 128>& table) {
  std::array<char32_t, 128> characters{};
  for (std::size_t b = 0; b < 128; ++b)
    characters[b] = base::Cp1251ToUnicode(table[b] == kNone ? '?' : table[b]);
  return characters;
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
      if (need <= 1 || start + need <= sample.size()) return false;
      const std::string_view before = sample.substr(0, start);
      // A lead byte with at least one continuation byte is the cut sequence even when it is
      // the sample's only one; a lone lead byte could as well be a single-byte letter.
      return base::LooksLikeUtf8(before) ||
             (sample.size() - start >= 2 && base::IsValidUtf8(before));
    }
  }
  return false;
}

// A DetectCodePage sample and the most AutoRecode looks at before deciding.
constexpr std::size_t kSampleBytes = 3000;

// MacCyrillic upper half in Unicode: capitals at 0x80, small letters at 0xE0 with я at 0xDF,
// symbols and the other Cyrillic letters between.
constexpr std::array<char16_t, 128> kMac = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0x80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0x90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x2020, 0x00B0, 0x0490, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x0406,  // 0xA0
    0x00AE, 0x00A9, 0x2122, 0x0402, 0x0452, 0x2260, 0x0403, 0x0453,  //
    0x221E, 0x00B1, 0x2264, 0x2265, 0x0456, 0x00B5, 0x0491, 0x0408,  // 0xB0
    0x0404, 0x0454, 0x0407, 0x0457, 0x0409, 0x0459, 0x040A, 0x045A,  //
    0x0458, 0x0405, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,  // 0xC0
    0x00BB, 0x2026, 0x00A0, 0x040B, 0x045B, 0x040C, 0x045C, 0x0455,  //
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x201E,  // 0xD0
    0x040E, 0x045E, 0x040F, 0x045F, 0x2116, 0x0401, 0x0451, 0x044F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x20AC,  //
};

CodePage FromSingleByte(SingleByteCyrillic guess) {
  switch (guess) {
    case SingleByteCyrillic::Koi8R:
      return CodePage::Koi;
    case SingleByteCyrillic::Cp866:
      return CodePage::Dos;
    case SingleByteCyrillic::Iso8859_5:
      return CodePage::Iso;
    case SingleByteCyrillic::MacCyrillic:
      return CodePage::Mac;
    case SingleByteCyrillic::Windows1251:
      break;
  }
  return CodePage::Win;
}

// A UTF-16 mark is two bytes that also open ordinary single-byte text ("яю" in Windows-1251, as
// a sample cut inside a word starts). Behind a real mark there are zero bytes or the 0x04 high
// bytes of Cyrillic letters; behind "яю" in Russian text, neither.
// The high byte of a UTF-16 character of Latin or Cyrillic text: 0x00 (Latin letters, blanks,
// « »), 0x04 (Cyrillic letters), 0x20 and 0x21 (dashes, curly quotes, the ellipsis, №, ™).
bool TextHighByte(unsigned char b) {
  return b == 0x00 || b == 0x04 || b == 0x20 || b == 0x21;
}

bool Utf16MarkHolds(std::string_view sample, bool bigEndian) {
  const std::size_t units = sample.size() / 2;
  if (units < 2) return true;
  std::size_t highLike = 0;
  for (std::size_t i = 1; i < units; ++i) {
    const auto high = static_cast<unsigned char>(sample[2 * i + (bigEndian ? 0 : 1)]);
    if (TextHighByte(high)) ++highLike;
  }
  return highLike * 2 >= units - 1;
}

bool HasHighByte(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

}  // namespace

std::string_view CodePageName(CodePage cp) {
  switch (cp) {
    case CodePage::Utf8:
      return "utf8";
    case CodePage::Unicode:
      return "unicode";
    case CodePage::UnicodeBe:
      return "unicodebe";
    case CodePage::Mac:
      return "mac";
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

std::optional<ByteOrderMark> FindByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return ByteOrderMark{CodePage::Utf8, 3};
  if (bytes.starts_with("\xFF\xFE")) return ByteOrderMark{CodePage::Unicode, 2};
  if (bytes.starts_with("\xFE\xFF")) return ByteOrderMark{CodePage::UnicodeBe, 2};
  return std::nullopt;
}

std::optional<bool> Utf16BigEndianWithoutMark(std::string_view sample) {
  const std::size_t units = sample.size() / 2;
  if (units < 2) return std::nullopt;
  // Most characters of Latin or Cyrillic UTF-16 have a zero or 0x04 byte; text without either
  // byte (nearly every single-byte text) is settled at memchr's speed.
  if (std::memchr(sample.data(), 0x00, sample.size()) == nullptr &&
      std::memchr(sample.data(), 0x04, sample.size()) == nullptr)
    return std::nullopt;
  // Per byte position within a character (0 first, 1 second): bytes that can be the high byte
  // of Latin or Cyrillic text, and zero bytes.
  std::array<std::size_t, 2> highLike{}, zeros{}, latinOrCyrillic{};
  for (std::size_t i = 0; i < 2 * units; ++i) {
    const auto b = static_cast<unsigned char>(sample[i]);
    highLike[i & 1] += TextHighByte(b);
    zeros[i & 1] += b == 0x00;
    latinOrCyrillic[i & 1] += b == 0x00 || b == 0x04;
    // Ordinary text fails the 90 % below at both positions within its first few hundred bytes.
    const std::size_t seen = i / 2 + 1;
    if ((seen - highLike[0]) * 10 > units && (seen - highLike[1]) * 10 > units) return std::nullopt;
  }
  // Low bytes are almost never zero (only U+0000, U+0400, U+2000 ...), high bytes nearly always
  // those of TextHighByte; 90 % leaves room for a few other characters (€, ©, accented letters).
  // Most characters must be Latin or Cyrillic, so that a single-byte text of blanks (a
  // fixed-width report, letter-spaced words) is not taken for punctuation in UTF-16.
  const auto orderWithHighAt = [&](std::size_t high) {
    const std::size_t low = 1 - high;
    return highLike[high] * 10 >= units * 9 && latinOrCyrillic[high] * 2 >= units &&
           zeros[low] * 10 <= units;
  };
  if (orderWithHighAt(1)) return false;
  if (orderWithHighAt(0)) return true;
  return std::nullopt;
}

std::optional<CodePage> DetectUtf16(std::string_view sample) {
  if (const auto mark = FindByteOrderMark(sample); mark && mark->codePage != CodePage::Utf8) {
    if (Utf16MarkHolds(sample, mark->codePage == CodePage::UnicodeBe)) return mark->codePage;
    return std::nullopt;
  }
  if (const auto bigEndian = Utf16BigEndianWithoutMark(sample))
    return *bigEndian ? CodePage::UnicodeBe : CodePage::Unicode;
  return std::nullopt;
}

CodePage DetectCodePage(std::string_view sample) {
  if (const auto utf16 = DetectUtf16(sample)) return *utf16;
  if (sample.starts_with("\xEF\xBB\xBF")) return CodePage::Utf8;
  if (!HasHighByte(sample)) return CodePage::Win;
  if (SampleLooksLikeUtf8(sample)) return CodePage::Utf8;
  return FromSingleByte(GuessSingleByteCyrillic(sample));
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

std::string MacCyrillicToUtf8(std::string_view bytes) {
  static const Utf8UpperHalf mac([] {
    std::array<char32_t, 128> characters{};
    std::copy(kMac.begin(), kMac.end(), characters.begin());
    return characters;
  }());
  return mac.Convert(bytes);
}

std::optional<std::string> DecodeUtf16Text(std::string_view bytes) {
  const auto utf16 = DetectUtf16(bytes.substr(0, kSampleBytes));
  if (!utf16) return std::nullopt;
  const auto mark = FindByteOrderMark(bytes);
  return Utf16ToUtf8(bytes.substr(mark && mark->codePage == *utf16 ? mark->length : 0),
                     *utf16 == CodePage::UnicodeBe);
}

std::optional<std::string> DecodeMarkedText(std::string_view bytes) {
  const auto mark = FindByteOrderMark(bytes);
  if (!mark) return std::nullopt;
  if (mark->codePage == CodePage::Utf8) return RepairUtf8(bytes.substr(mark->length));
  if (DetectUtf16(bytes.substr(0, kSampleBytes)) != mark->codePage) return std::nullopt;
  return Utf16ToUtf8(bytes.substr(mark->length), mark->codePage == CodePage::UnicodeBe);
}

std::string AutoRecode(std::string_view bytes) {
  const std::string_view sample = bytes.substr(0, kSampleBytes);
  if (const auto utf16 = DetectUtf16(sample)) {
    const auto mark = FindByteOrderMark(bytes);
    return Utf16ToUtf8(bytes.substr(mark && mark->codePage == *utf16 ? mark->length : 0),
                       *utf16 == CodePage::UnicodeBe);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) return RepairUtf8(bytes.substr(3));
  // UTF-8 is recognised on the whole text first: a long ASCII start hides it from the sample,
  // a UTF-8 text needs this one pass anyway, and any other text fails it at its first letter.
  if (base::LooksLikeUtf8(bytes)) return std::string(bytes);
  switch (DetectCodePage(sample)) {
    case CodePage::Utf8:
      // The sample decided; a stray bad byte further on must not make the text invalid.
      return RepairUtf8(bytes);
    case CodePage::Dos: {
      static const Utf8UpperHalf dos(ViaWindows1251(kDos));
      return dos.Convert(bytes);
    }
    case CodePage::Iso: {
      static const Utf8UpperHalf iso(ViaWindows1251(kIso));
      return iso.Convert(bytes);
    }
    case CodePage::Koi: {
      static const Utf8UpperHalf koi(ViaWindows1251(kKoi8));
      return koi.Convert(bytes);
    }
    case CodePage::Mac:
      return MacCyrillicToUtf8(bytes);
    default:
      break;
  }
  return base::Cp1251ToUtf8(bytes);
}

}  // namespace zyl::extract
