// Syntax tree of the query dialect: statements over the one table ContentIndex and the
// expressions of their conditions.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "db/Value.h"

namespace zyl::db {

// The columns of ContentIndex, in table order.
enum class Column { Title, Author, Content, Location, Type, Modified, Filesize };
inline constexpr int kColumnCount = 7;
const char* ColumnName(Column c);  // lower-case stored name
// Column by name, without case; -1 when there is none.
int FindColumn(std::string_view name);

inline constexpr const char* kTableName = "ContentIndex";

// Static types the compiler reasons with. Dates travel as text in the stored `modified` form,
// truth values as the engine's 1/0.
enum class Ty { Null, Bool, Number, Text, Date, Variant };

enum class ExprKind { Literal, Column, Unary, Binary, Like, IsNull, Between, In, Call };

enum class Op {
  Neg,
  Not,
  Plus,
  Minus,
  Mul,
  Div,
  IntDiv,
  Mod,
  Pow,
  Concat,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  And,  // n-ary: chains of the same operator are kept flat
  Or,
  Xor,
  Eqv,
  Imp,
};

struct FunctionInfo;

struct Expr {
  ExprKind kind = ExprKind::Literal;
  std::size_t offset = 0;  // byte offset in the statement text, for messages
  int depth = 1;           // height of this subtree, bounded by the parser

  // Literal
  Ty literalType = Ty::Null;
  Value literal;  // Bool: -1/0; Date: stored form text
  // Column
  Column column = Column::Title;
  // Unary, Binary
  Op op = Op::Plus;
  // Like, IsNull, Between, In: NOT LIKE, IS NOT NULL, ...
  bool negated = false;
  // Call
  const FunctionInfo* function = nullptr;

  // Operands: Unary 1; Binary 2 or more (And/Or); Like (subject, pattern); IsNull 1;
  // Between (subject, low, high); In (subject, items...); Call the arguments.
  std::vector<std::unique_ptr<Expr>> args;
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem {
  enum class Kind { Star, Column, Sum };
  Kind kind = Kind::Column;
  Column column = Column::Title;
  ExprPtr sumOf;      // Sum(...)
  std::string alias;  // AS name, or "" when none was written
  std::size_t offset = 0;
};

struct Statement {
  enum class Kind { Select, Delete };
  Kind kind = Kind::Select;
  std::vector<SelectItem> items;  // Select
  ExprPtr where;                  // may be null
};

// Limits that keep every text, however built, cheap to read and to run.
inline constexpr int kMaxNesting = 100;     // brackets, NOT, signs and calls inside each other
inline constexpr int kMaxExprDepth = 250;   // height of the expression tree
inline constexpr int kMaxLiterals = 30000;  // values bound to one statement

}  // namespace zyl::db
