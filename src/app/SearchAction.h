// action=search: a search of named indexes with the server's form variables, the rows printed
// as TSV or JSON. It needs only the search engine, so the command-line front runs it itself.
#pragma once

#include <string>
#include <string_view>

#include "app/StartContext.h"

namespace zyl::app {

int RunSearchAction(const StartContext& ctx);

// A field of a result row as one TSV cell: TABs and line breaks become blanks.
std::string TsvCell(std::string_view text);
void AppendTsvCell(std::string& out, std::string_view text);
// A JSON string literal.
std::string JsonString(std::string_view text);

}  // namespace zyl::app
