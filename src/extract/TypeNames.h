// The names of the document types alone: their codes, and the stored types at the search
// positions. Made from the type table while compiling, so a program that needs only the names
// (the command-line front's usage text and search) does not link the readers the table names.
#pragma once

#include <span>
#include <string_view>

namespace zyl::extract {

// The code of every type, in table order.
std::span<const std::string_view> DocumentTypeCodes();

}  // namespace zyl::extract
