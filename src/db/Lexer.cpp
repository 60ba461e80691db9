#include "db/Lexer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "base/Utf8.h"
#include "db/Errors.h"

namespace zyl::db {
namespace {

bool IsNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void Fail(std::string_view text, std::size_t offset, std::string reason) {
  throw SqlError(CharPosition(text, offset), std::move(reason));
}

}  // namespace

const char* TokenName(Tok kind) {
  switch (kind) {
    case Tok::End:
      return "end of text";
    case Tok::Name:
      return "name";
    case Tok::BracketName:
      return "[name]";
    case Tok::String:
      return "text";
    case Tok::Integer:
    case Tok::Real:
      return "number";
    case Tok::Date:
      return "date";
    case Tok::LParen:
      return "\"(\"";
    case Tok::RParen:
      return "\")\"";
    case Tok::Comma:
      return "\",\"";
    case Tok::Dot:
      return "\".\"";
    case Tok::Semicolon:
      return "\";\"";
    case Tok::Star:
      return "\"*\"";
    case Tok::Plus:
      return "\"+\"";
    case Tok::Minus:
      return "\"-\"";
    case Tok::Slash:
      return "\"/\"";
    case Tok::Backslash:
      return "\"\\\"";
    case Tok::Caret:
      return "\"^\"";
    case Tok::Amp:
      return "\"&\"";
    case Tok::Eq:
      return "\"=\"";
    case Tok::Ne:
      return "\"<>\"";
    case Tok::Lt:
      return "\"<\"";
    case Tok::Gt:
      return "\">\"";
    case Tok::Le:
      return "\"<=\"";
    case Tok::Ge:
      return "\">=\"";
  }
  return "?";
}

std::vector<Token> Tokenize(std::string_view text) {
  if (text.size() > kMaxStatementBytes)
    throw SqlError(1, "the statement is too long (more than " + std::to_string(kMaxStatementBytes) +
                          " bytes)");
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto at = [&](std::size_t k) -> unsigned char { return k < n ? text[k] : 0; };

  while (true) {
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n' ||
                     text[i] == '\f' || text[i] == '\v'))
      ++i;
    Token t;
    t.offset = i;
    if (i >= n) {
      t.kind = Tok::End;
      out.push_back(std::move(t));
      return out;
    }
    const unsigned char c = text[i];
    if (IsNameStart(c)) {
      std::size_t j = i;
      while (j < n && IsNameChar(text[j])) ++j;
      t.kind = Tok::Name;
      t.text = std::string(text.substr(i, j - i));
      if (!base::IsValidUtf8(t.text)) Fail(text, i, "a name holds bytes that are not text");
      i = j;
    } else if (c == '[') {
      const auto close = text.find(']', i + 1);
      if (close == std::string_view::npos)
        Fail(text, i, "a name in brackets is not closed with \"]\"");
      t.kind = Tok::BracketName;
      t.text = std::string(text.substr(i + 1, close - i - 1));
      if (t.text.empty()) Fail(text, i, "empty name \"[]\"");
      if (t.text.find('[') != std::string::npos)
        Fail(text, i, "a name in brackets cannot hold \"[\"");
      i = close + 1;
    } else if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      std::string value;
      bool closed = false;
      while (j < n) {
        if (static_cast<unsigned char>(text[j]) == c) {
          if (at(j + 1) == c) {
            value.push_back(static_cast<char>(c));
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        value.push_back(text[j]);
        ++j;
      }
      if (!closed) Fail(text, i, "text in quotes is not closed");
      t.kind = Tok::String;
      t.text = std::move(value);
      i = j;
    } else if (c == '#') {
      const auto close = text.find('#', i + 1);
      if (close == std::string_view::npos || close - i > 64)
        Fail(text, i, "a date between \"#\" signs is not closed");
      t.kind = Tok::Date;
      t.text = std::string(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (IsDigit(c) || (c == '.' && IsDigit(at(i + 1)))) {
      std::size_t j = i;
      bool isReal = false;
      while (IsDigit(at(j))) ++j;
      if (at(j) == '.') {
        isReal = true;
        ++j;
        while (IsDigit(at(j))) ++j;
      }
      if (at(j) == 'e' || at(j) == 'E') {
        std::size_t k = j + 1;
        if (at(k) == '+' || at(k) == '-') ++k;
        if (IsDigit(at(k))) {
          isReal = true;
          j = k;
          while (IsDigit(at(j))) ++j;
        }
      }
      if (IsNameChar(at(j)) || at(j) == '.') Fail(text, i, "malformed number");
      t.text = std::string(text.substr(i, j - i));
      if (!isReal) {
        errno = 0;
        const long long v = std::strtoll(t.text.c_str(), nullptr, 10);
        if (errno == ERANGE) {
          isReal = true;
        } else {
          t.kind = Tok::Integer;
          t.integer = v;
        }
      }
      if (isReal) {
        t.kind = Tok::Real;
        t.real = std::strtod(t.text.c_str(), nullptr);
      }
      i = j;
    } else {
      Tok k = Tok::End;
      std::size_t len = 1;
      switch (c) {
        case '(':
          k = Tok::LParen;
          break;
        case ')':
          k = Tok::RParen;
          break;
        case ',':
          k = Tok::Comma;
          break;
        case '.':
          k = Tok::Dot;
          break;
        case ';':
          k = Tok::Semicolon;
          break;
        case '*':
          k = Tok::Star;
          break;
        case '+':
          k = Tok::Plus;
          break;
        case '-':
          k = Tok::Minus;
          break;
        case '/':
          k = Tok::Slash;
          break;
        case '\\':
          k = Tok::Backslash;
          break;
        case '^':
          k = Tok::Caret;
          break;
        case '&':
          k = Tok::Amp;
          break;
        case '=':
          k = Tok::Eq;
          break;
        case '<':
          if (at(i + 1) == '>') {
            k = Tok::Ne;
            len = 2;
          } else if (at(i + 1) == '=') {
            k = Tok::Le;
            len = 2;
          } else {
            k = Tok::Lt;
          }
          break;
        case '>':
          if (at(i + 1) == '=') {
            k = Tok::Ge;
            len = 2;
          } else {
            k = Tok::Gt;
          }
          break;
        default: {
          std::string shown;
          if (c >= 0x20 && c < 0x7f) {
            shown = std::string("\"") + static_cast<char>(c) + "\"";
          } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%02X", c);
            shown = buf;
          }
          Fail(text, i, "unexpected character " + shown);
        }
      }
      t.kind = k;
      i += len;
    }
    out.push_back(std::move(t));
  }
}

}  // namespace zyl::db
