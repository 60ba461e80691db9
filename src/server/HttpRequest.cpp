#include "server/HttpRequest.h"

#include "base/Cp1251.h"
#include "base/Strings.h"

namespace zyl::server {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string UrlDecodeText(std::string_view text) {
  // "+" first, so that an escaped plus sign ("%2B") stays a plus sign.
  std::string s = base::Replace(text, "+", " ");
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  // The last character never starts an escape: "x%" keeps its "%".
  while (i < s.size()) {
    if (s[i] == '%' && i + 1 < s.size()) {
      // Up to two characters are taken; the number is read up to the first non-hex digit.
      const std::size_t take = std::min<std::size_t>(2, s.size() - i - 1);
      int value = 0;
      for (std::size_t k = 0; k < take; ++k) {
        const int d = HexDigit(s[i + 1 + k]);
        if (d < 0) break;
        value = value * 16 + d;
      }
      out.push_back(static_cast<char>(value));
      i += 1 + take;
    } else {
      out.push_back(s[i++]);
    }
  }
  return base::DecodeLegacyText(out);
}

std::optional<QueryVars> ParseQueryString(std::string_view text) {
  QueryVars vars;
  for (const std::string& piece : base::Split(text, "&")) {
    const std::vector<std::string> parts = base::Split(piece, "=");
    if (parts.size() < 2) return std::nullopt;
    vars.emplace_back(UrlDecodeText(parts[0]), UrlDecodeText(parts[1]));
  }
  return vars;
}

Request ParseRequest(std::string_view requestText) {
  Request r;
  const std::vector<std::string> lines = base::Split(requestText, "\r\n");
  if (lines.empty()) return r;
  const std::vector<std::string> words = base::Split(lines[0], " ");
  if (words.size() < 2) return r;
  r.method = base::UCase(words[0]);
  const std::string& target = words[1];
  const std::size_t q = target.find('?');
  if (q != std::string::npos) r.queryString = target.substr(q + 1);
  if (r.method == "GET" && q != std::string::npos) {
    r.vars = ParseQueryString(r.queryString);
  } else if (r.method == "POST") {
    // The body line after the empty line that ends the header; the last such pair wins.
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
      if (!lines[i].empty()) continue;
      r.vars = ParseQueryString(lines[i + 1]);
      if (!r.vars) break;
    }
  }
  return r;
}

std::string GetQueryVar(const Request& request, std::string_view name) {
  if (!request.vars) return {};
  for (const auto& [n, v] : *request.vars)
    if (base::EqualsNoCase(n, name)) return v;
  return {};
}

std::string EncodeSpaces(std::string_view text) {
  return base::Replace(text, " ", "+");
}

std::string UrlEncodeComponent(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
        b == '_' || b == '.' || b == '~' || b == '/') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(hex[b >> 4]);
      out.push_back(hex[b & 15]);
    }
  }
  return out;
}

namespace {
// A Content-Length value: decimal digits alone (blanks around them allowed), no more than a
// request could ever hold.
std::optional<std::size_t> ContentLength(std::string_view text) {
  const std::string_view digits = base::TrimView(text);
  if (digits.empty() || digits.size() > 15) return std::nullopt;
  std::size_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return value;
}
}  // namespace

RequestFrame FrameRequest(std::string_view buffer, std::size_t maxBytes) {
  using State = RequestFrame::State;
  std::size_t headerEnd = buffer.find("\r\n\r\n");
  std::size_t sepLen = 4;
  const std::size_t lf = buffer.find("\n\n");
  if (lf != std::string_view::npos && (headerEnd == std::string_view::npos || lf < headerEnd)) {
    headerEnd = lf;
    sepLen = 2;
  }
  if (headerEnd == std::string_view::npos)
    return {buffer.size() > maxBytes ? State::Refused : State::Incomplete, 0};
  const std::string_view header = buffer.substr(0, headerEnd);
  std::optional<std::size_t> contentLength;
  std::size_t pos = 0;
  while (pos < header.size()) {
    std::size_t eol = header.find('\n', pos);
    if (eol == std::string_view::npos) eol = header.size();
    std::string_view line = header.substr(pos, eol - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos &&
        base::EqualsNoCase(base::TrimView(line.substr(0, colon)), "Content-Length")) {
      const auto n = ContentLength(line.substr(colon + 1));
      if (!n || (contentLength && *contentLength != *n)) return {State::Refused, 0};
      contentLength = n;
    }
    pos = eol + 1;
  }
  const std::size_t total = headerEnd + sepLen + contentLength.value_or(0);
  if (total > maxBytes) return {State::Refused, 0};
  if (buffer.size() < total) return {State::Incomplete, 0};
  return {State::Complete, total};
}

}  // namespace zyl::server
