// The desktop program: the Qt application with the index manager as its main window.
#pragma once

namespace zyl::ui {

// Shows the index manager and runs until it is closed (or its Exit command). Settings must be
// loaded. Returns the exit status.
int RunDesktop();

}  // namespace zyl::ui
