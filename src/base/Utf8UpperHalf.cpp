#include "base/Utf8UpperHalf.h"

#include <algorithm>

#include "base/Utf8.h"

namespace zyl::base {

Utf8UpperHalf::Utf8UpperHalf(const std::array<char32_t, 128>& characters) {
  for (std::size_t b = 0; b < 128; ++b) {
    std::string utf8;
    AppendUtf8(utf8, characters[b]);  // a BMP character: 3 bytes at most
    std::copy_n(utf8.begin(), std::min<std::size_t>(utf8.size(), 3), encoded_[b].bytes.begin());
    encoded_[b].size = static_cast<std::uint8_t>(std::min<std::size_t>(utf8.size(), 3));
  }
}

std::string Utf8UpperHalf::Convert(std::string_view text) const {
  std::size_t length = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    length += b < 0x80 ? 1 : encoded_[b - 0x80].size;
  }
  // Room for three bytes more than counted, so the last character's copy may write whole.
  std::string out;
  out.resize(length + 3);
  char* w = out.data();
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      *w++ = c;
    } else {
      const Encoded& e = encoded_[b - 0x80];
      w[0] = e.bytes[0];
      w[1] = e.bytes[1];
      w[2] = e.bytes[2];
      w += e.size;
    }
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
  return out;
}

}  // namespace zyl::base
