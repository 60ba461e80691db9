// UTF-8 helpers: every text inside the program is UTF-8, and the algorithms count
// "characters" as Unicode code points, never as bytes of a sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zyl::base {

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence, that is,
// text that is UTF-8 and could not also be plain ASCII.
bool LooksLikeUtf8(std::string_view bytes);

// Decodes the code point starting at byte `pos` and advances `pos` past it. A malformed
// sequence yields U+FFFD and advances by one byte, so a loop over any bytes always ends.
char32_t DecodeUtf8At(std::string_view text, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t cp);

// Number of code points (a malformed byte counts as one).
std::size_t CodePointCount(std::string_view text);

// Byte offset of the code point with 0-based index `n`; text.size() when n is past the end.
std::size_t CodePointOffset(std::string_view text, std::size_t n);

// Byte length of the first n code points (the same as CodePointOffset).
inline std::size_t Utf8PrefixBytes(std::string_view text, std::size_t n) {
  return CodePointOffset(text, n);
}

}  // namespace zyl::base
