// Puts a window's caption table onto its widgets, found by objectName.
#pragma once

#include <QString>
#include <span>
#include <string>
#include <string_view>

#include "ui/WindowTexts.h"

class QWidget;

namespace zyl::ui {

// Sets every text of `table` on the control of that name below `window` (or on the window
// itself). A control that does not exist is skipped.
void ApplyTexts(QWidget& window, std::span<const WindowText> table);

// UTF-8 program text as a Qt string, with CR LF line breaks turned into "\n".
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

}  // namespace zyl::ui
