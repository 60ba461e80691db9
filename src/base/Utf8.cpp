#include "base/Utf8.h"

namespace zyl::base {

namespace {
// Length of a well-formed sequence starting at pos, or 0 when malformed.
std::size_t SequenceLength(std::string_view s, std::size_t pos, char32_t* out) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    *out = b0;
    return 1;
  }
  std::size_t len;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *out = cp;
  return len;
}
}  // namespace

namespace {
// Whether the bytes are well-formed UTF-8, and whether they hold a multi-byte sequence.
bool ScanUtf8(std::string_view bytes, bool& multiByte) {
  multiByte = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // Fast path over ASCII.
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t cp;
    const std::size_t len = SequenceLength(bytes, pos, &cp);
    if (len == 0) return false;
    multiByte = true;
    pos += len;
  }
  return true;
}
}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  bool multi;
  return ScanUtf8(bytes, multi);
}

bool LooksLikeUtf8(std::string_view bytes) {
  bool multi;
  return ScanUtf8(bytes, multi) && multi;
}

char32_t DecodeUtf8At(std::string_view text, std::size_t& pos) {
  char32_t cp;
  const std::size_t len = SequenceLength(text, pos, &cp);
  if (len == 0) {
    ++pos;
    return 0xFFFD;
  }
  pos += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp <= 0x10FFFF) {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    AppendUtf8(out, 0xFFFD);
  }
}

std::size_t CodePointCount(std::string_view text) {
  std::size_t n = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
    } else {
      DecodeUtf8At(text, pos);
    }
    ++n;
  }
  return n;
}

std::size_t CodePointOffset(std::string_view text, std::size_t n) {
  std::size_t pos = 0;
  while (n > 0 && pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
    } else {
      DecodeUtf8At(text, pos);
    }
    --n;
  }
  return pos;
}

}  // namespace zyl::base
