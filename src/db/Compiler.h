// Turns statements of the dialect into engine SQL. Every value written in the text becomes
// a bound parameter and every operator or function whose meaning differs from the engine's
// becomes a call of our own registered functions, so nothing of the text itself reaches the
// engine: only the fixed fragments this compiler writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/Ast.h"
#include "db/Value.h"

namespace zyl::db {

struct CompiledField {
  std::string name;  // as the recordset names the field
  int column = -1;   // the table column, or -1 for a computed field
  std::string sql;   // the engine expression of the field
};

struct CompiledQuery {
  Statement::Kind kind = Statement::Kind::Select;
  bool aggregate = false;  // a single computed row (Sum)
  std::vector<CompiledField> fields;
  std::string where;          // engine condition, "" when the statement has none
  std::vector<Value> params;  // ?1, ?2, ... in order
  // A candidate expression of the substring index that every row the condition selects satisfies,
  // or "" when the condition gives none (see SubstringIndex.h).
  std::string substringMatch;
};

// How the LIKE tests of the content column read it: whole, as the engine hands a column to a
// function, or piece by piece from the start through the StoredContent of a RowReader, which
// must then step the statement (see StoredContent.h).
enum class ContentTests { kWhole, kInPieces };

CompiledQuery CompileStatement(std::string_view text, ContentTests tests = ContentTests::kWhole);

struct CompiledCondition {
  std::string sql;
  std::vector<Value> params;
};

// A condition alone (a recordset filter).
CompiledCondition CompileCondition(std::string_view text);

// A text value written as a literal of the dialect, with the quote doubled inside, so that
// callers that build statements from outside text keep that text a single value.
std::string QuoteText(std::string_view text, char quote = '\'');

}  // namespace zyl::db
