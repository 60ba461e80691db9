// Tokens of the query dialect. Keywords are not told apart here: they come out as names and
// the parser compares them without case, because a column may be written [Type] or Type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::db {

enum class Tok {
  End,
  Name,         // bare name or keyword
  BracketName,  // [any text]
  String,       // "..." or '...', with doubled quotes already undone
  Integer,
  Real,
  Date,  // #...#, the text between the signs
  LParen,
  RParen,
  Comma,
  Dot,
  Semicolon,
  Star,
  Plus,
  Minus,
  Slash,
  Backslash,
  Caret,
  Amp,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
};

struct Token {
  Tok kind = Tok::End;
  std::string text;  // name, string value, number or date text
  std::int64_t integer = 0;
  double real = 0;
  std::size_t offset = 0;  // byte offset of the token's first character
};

// Statements longer than this are refused before they are read.
inline constexpr std::size_t kMaxStatementBytes = 1'000'000;

// Splits the whole text into tokens, ending with a Tok::End token. Throws SqlError for a
// character that cannot start a token, an unterminated string, name or date, or a malformed
// number.
std::vector<Token> Tokenize(std::string_view text);

const char* TokenName(Tok kind);

}  // namespace zyl::db
