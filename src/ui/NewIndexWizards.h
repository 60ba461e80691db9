// The two new-index wizards as their owner runs them: each step is a modal dialog that closes
// before the next one opens; the last step is the build or crawl window.
#pragma once

class QWidget;

namespace zyl::ui {

// Returns true when a build or crawl ran to its end (the index is in the recent list).
bool RunLocalIndexWizard(QWidget* owner);
bool RunWebIndexWizard(QWidget* owner);

}  // namespace zyl::ui
