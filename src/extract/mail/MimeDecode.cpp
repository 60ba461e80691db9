#include "extract/mail/MimeDecode.h"

#include "base/Cp1251.h"
#include "base/Strings.h"
#include "extract/core/Charsets.h"

namespace zyl::extract {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The "Q" encoding of encoded words: quoted-printable where "_" stands for a blank.
std::string DecodeQWord(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      out += ' ';
    } else if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// One "=?charset?enc?text?=" at `at`: its parts and its end, or false when the text there is
// not a well-formed encoded word.
struct EncodedWord {
  std::string_view charset;
  char encoding = 0;
  std::string_view text;
  std::size_t end = 0;
};

bool ParseEncodedWord(std::string_view value, std::size_t at, EncodedWord& word) {
  if (value.substr(at, 2) != "=?") return false;
  const std::size_t q1 = value.find('?', at + 2);
  if (q1 == std::string_view::npos || q1 + 2 >= value.size() || value[q1 + 2] != '?') return false;
  const std::size_t close = value.find("?=", q1 + 3);
  if (close == std::string_view::npos) return false;
  const std::string_view text = value.substr(q1 + 3, close - q1 - 3);
  // An encoded word never holds blanks; one that seems to is a stray "=?".
  if (text.find_first_of(" \t\r\n") != std::string_view::npos) return false;
  word.charset = value.substr(at + 2, q1 - at - 2);
  // RFC 2231 lets a language follow the charset after "*".
  word.charset = word.charset.substr(0, word.charset.find('*'));
  word.encoding = static_cast<char>(value[q1 + 1] | 0x20);
  if (word.charset.empty() || (word.encoding != 'b' && word.encoding != 'q')) return false;
  word.text = text;
  word.end = close + 2;
  return true;
}

}  // namespace

std::string DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    if (c == '=') break;
    const int v = Base64Value(c);
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

std::string DecodeQuotedPrintableBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') {
      out += text[i];
      continue;
    }
    // A soft break may have blanks before its line break (some writers pad lines).
    std::size_t j = i + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j < text.size() && (text[j] == '\n' || text[j] == '\r')) {
      if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
      i = j;
      continue;
    }
    if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
      continue;
    }
    out += '=';
  }
  return out;
}

std::string DecodeEncodedWords(std::string_view value) {
  std::string out;
  std::string pendingBytes;  // decoded bytes of adjacent words of one charset
  std::string pendingCharset;
  const auto flush = [&] {
    if (pendingCharset.empty()) return;
    auto text = RecodeCharset(pendingBytes, pendingCharset);
    out += text ? *text : base::DecodeLegacyText(pendingBytes);
    pendingBytes.clear();
    pendingCharset.clear();
  };
  std::size_t plainStart = 0;
  std::size_t i = 0;
  bool lastWasWord = false;
  while (i < value.size()) {
    const std::size_t at = value.find("=?", i);
    if (at == std::string_view::npos) break;
    EncodedWord word;
    if (!ParseEncodedWord(value, at, word)) {
      i = at + 2;
      continue;
    }
    const std::string_view between = value.substr(plainStart, at - plainStart);
    const bool onlyBlanks = between.find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (!(lastWasWord && onlyBlanks)) {
      flush();
      out += base::DecodeLegacyText(between);
    }
    const std::string bytes =
        word.encoding == 'b' ? DecodeBase64(word.text) : DecodeQWord(word.text);
    if (!base::EqualsNoCase(pendingCharset, word.charset)) {
      flush();
      pendingCharset = std::string(word.charset);
    }
    pendingBytes += bytes;
    lastWasWord = true;
    plainStart = i = word.end;
  }
  flush();
  out += base::DecodeLegacyText(value.substr(plainStart));
  return out;
}

}  // namespace zyl::extract
