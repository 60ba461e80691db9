// Recoding a single-byte code page to UTF-8 through the ready UTF-8 forms of its upper half.
// Every page and text file passes through one of these, so the output's length is counted
// first and the bytes are written through a pointer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zyl::base {

class Utf8UpperHalf {
 public:
  // `characters[b]` is the character of byte 0x80 + b; every one lies in the BMP.
  explicit Utf8UpperHalf(const std::array<char32_t, 128>& characters);

  // The text with bytes below 0x80 kept and the others replaced by their characters. Never throws
  // but for allocation.
  std::string Convert(std::string_view text) const;

 private:
  struct Encoded {
    std::array<char, 3> bytes{};
    std::uint8_t size = 0;
  };
  std::array<Encoded, 128> encoded_{};
};

}  // namespace zyl::base
