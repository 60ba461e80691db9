#include "base/Cp1251.h"

#include <array>

#include "base/Utf8.h"

namespace zyl::base {

namespace {
// Upper half of Windows-1251 (0x80-0xFF); 0xC0-0xFF are the letters А..я.
// clang-format off
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};
// clang-format on
}  // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kHigh[byte - 0x80];
}

int UnicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  // Every page and text file passes through here: the upper half's UTF-8 forms are worked out
  // once, the output's length is counted first, and the output is written through a pointer.
  struct Encoded {
    char bytes[3];
    unsigned char size;
  };
  static const auto kUpperHalf = [] {
    std::array<Encoded, 128> table{};
    for (int b = 0x80; b <= 0xFF; ++b) {
      std::string utf8;
      AppendUtf8(utf8, Cp1251ToUnicode(static_cast<unsigned char>(b)));
      Encoded& e = table[static_cast<std::size_t>(b - 0x80)];
      e.size = static_cast<unsigned char>(utf8.size());
      for (std::size_t i = 0; i < utf8.size() && i < 3; ++i) e.bytes[i] = utf8[i];
    }
    return table;
  }();
  std::size_t length = 0;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    length += b < 0x80 ? 1 : kUpperHalf[b - 0x80].size;
  }
  // Room for three bytes more than counted, so the last character's copy may write whole.
  std::string out;
  out.resize(length + 3);
  char* w = out.data();
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      *w++ = c;
    } else {
      const Encoded& e = kUpperHalf[b - 0x80];
      w[0] = e.bytes[0];
      w[1] = e.bytes[1];
      w[2] = e.bytes[2];
      w += e.size;
    }
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
  return out;
}

std::string Utf8ToCp1251(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      out.push_back(text[pos++]);
      continue;
    }
    const int mapped = UnicodeToCp1251(DecodeUtf8At(text, pos));
    out.push_back(mapped < 0 ? replacement : static_cast<char>(mapped));
  }
  return out;
}

std::string DecodeLegacyText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1251ToUtf8(bytes);
}

}  // namespace zyl::base
