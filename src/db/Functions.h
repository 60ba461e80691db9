// The functions a condition may call, with the argument kinds the compiler converts to and
// the result type it reasons with. Aggregates and financial functions are known by name so
// that refusing them can say why.
#pragma once

#include <string_view>

#include "db/Ast.h"

namespace zyl::db {

struct FunctionInfo {
  const char* name;  // spelling used in messages
  int minArgs;
  int maxArgs;
  Ty result;
  // One letter per argument position, the last one repeating: 'n' number (dates become
  // their serial number), 's' text, 'd' date, 'a' anything.
  const char* params;
  // Name of the registered engine function; nullptr when the compiler writes the call itself.
  const char* sqlName;
};

enum class FunctionClass { Row, Aggregate, Financial, Unknown };

// nullptr when the name is not a row function; `cls` then tells why.
const FunctionInfo* FindFunction(std::string_view name, FunctionClass* cls);

// The catalogue name of a registered engine function ("Left" for "zyl_left"), or "" for
// the helpers the compiler inserts for operators and conversions.
const char* DisplayName(std::string_view sqlName);

// Zero-argument functions that may also be written without brackets: Date, Now, Time.
bool IsBareFunction(const FunctionInfo* f);

}  // namespace zyl::db
