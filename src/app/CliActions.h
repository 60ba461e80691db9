// The command-line actions of the whole program: batch update, build, web build and the
// server without its window (and their option parsing).
#pragma once

#include "app/StartContext.h"
#include "server/ConnectionLayer.h"

namespace zyl::app {

int RunUpdateAction(const StartContext& ctx);
int RunBuildAction(const StartContext& ctx);
int RunWebBuildAction(const StartContext& ctx);
// The document server without a window.
int RunServerAction(const StartContext& ctx);
// The document server's port and bind address: the settings, or "port=" and "bind=".
server::ServerOptions ServerOptionsFromArguments(const StartContext& ctx);

}  // namespace zyl::app
