// Messages of the engines on the command line: one line each on stderr, since the command line
// never asks questions.
#pragma once

#include <iosfwd>

#include "base/Messages.h"

namespace zyl::app {

// Writes a message on `err` as one line: "zyl: [title: ]text" with the line breaks as blanks.
void WriteMessage(std::ostream& err, const base::Message& message);

// A sink that writes each message with WriteMessage; `err` must outlive it.
base::MessageSink StderrMessages(std::ostream& err);

}  // namespace zyl::app
