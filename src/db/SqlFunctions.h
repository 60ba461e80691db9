// The engine functions that statements compiled from the dialect call: LIKE, the operators
// whose meaning differs from the engine's own (division, "\", Mod, "^", "&", "+" on mixed
// values, conversions), and the functions of the query builder's catalogue with their usual
// semantics. All are registered on every connection this layer opens.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/JetDate.h"

struct sqlite3;

namespace zyl::db {

class WorkAccount;

// Throws DbError when the engine refuses a registration. Space, String and Replace count the
// text they build against `work` (which must outlive the connection; null: no budget).
void RegisterFunctions(sqlite3* db, WorkAccount* work);

// A number written as text, read as a conversion to a number reads it: blanks around it, an
// optional sign, digits with an optional fraction and exponent, or "&H"/"&O" forms.
std::optional<double> ParseNumberText(std::string_view text);

// Format(value, format) for a number, a date and a text (the subset the program supports:
// the named formats and custom date and number formats).
std::string FormatNumberValue(double value, std::string_view format);
std::string FormatDateValue(const DateTimeParts& value, std::string_view format,
                            int firstDayOfWeek);

}  // namespace zyl::db
