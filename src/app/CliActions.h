// The command-line actions: batch update, build, search (and their option parsing).
#pragma once

#include "app/StartMode.h"
#include "server/ConnectionLayer.h"

namespace zyl::app {

int RunUpdateAction(const StartContext& ctx);
int RunBuildAction(const StartContext& ctx);
int RunSearchAction(const StartContext& ctx);
int RunWebBuildAction(const StartContext& ctx);
// The document server without a window.
int RunServerAction(const StartContext& ctx);
// The document server's port and bind address: the settings, or "port=" and "bind=".
server::ServerOptions ServerOptionsFromArguments(const StartContext& ctx);

// A field of a result row as one TSV cell: TABs and line breaks become blanks.
std::string TsvCell(std::string_view text);
// A JSON string literal.
std::string JsonString(std::string_view text);

}  // namespace zyl::app
