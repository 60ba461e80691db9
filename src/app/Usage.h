// The usage text, the version line, and the answer to --help and --version.
#pragma once

#include <iosfwd>

#include "settings/CommandLine.h"

namespace zyl::app {

// The usage text: every start mode and action with all its variables, and the document type
// codes that build's types= takes.
void PrintUsage(std::ostream& out);
// "zyl VERSION" and a line break.
void PrintVersion(std::ostream& out);

// Answers --help or --version wherever they stand among the arguments (the first one written
// wins) on `out` and returns 0; returns -1 when the arguments ask for neither.
int AnswerInformation(const settings::CCommandLine& args, std::ostream& out);

}  // namespace zyl::app
