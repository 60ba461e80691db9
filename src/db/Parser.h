// Reads statement texts of the dialect into syntax trees. Everything it refuses raises
// SqlError with the character position where reading stopped.
#pragma once

#include <string_view>

#include "db/Ast.h"

namespace zyl::db {

// SELECT [DISTINCTROW] list FROM ContentIndex [WHERE cond] [;]
// DELETE [*] FROM ContentIndex [WHERE cond] [;]
Statement ParseStatement(std::string_view text);

// A condition alone, as a recordset filter is written.
ExprPtr ParseCondition(std::string_view text);

// True when the text, blanks aside, is just the table's name (a record source that means
// the whole table).
bool IsTableName(std::string_view text);

}  // namespace zyl::db
