// The captions of the index manager and the update window: one table per window of (control,
// part, language text), applied when the window loads and again after a language change. The
// shipped language files hold every key of these tables.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "settings/LangKeys.h"

namespace zyl::ui {

// What a table entry sets on its control.
enum class TextRole {
  Caption,  // window title, label, button or menu text
  Column,   // header text of a list column (part = column from 0)
  ToolTip,  // tool tip of a toolbar button (objectName of the action)
  Tab,      // caption of a page of a tabbed container (part = page from 0)
  Item,     // text of a row of a list box (part = row from 0)
};

struct WindowText {
  std::string_view objectName;
  TextRole role;
  int part;  // column number; unused otherwise
  settings::LangText text;
};

// Caption of a control: the language file's text; the built-in Russian one when no language
// file is configured or the file is gone (a window without captions could not be used).
std::string CaptionText(const settings::LangText& text);

std::span<const WindowText> ManagerWindowTexts();
std::span<const WindowText> UpdateWindowTexts();
// The manager's text of the control `objectName` (its caption or tool tip).
const settings::LangText& ManagerText(std::string_view objectName);

// Texts the manager window asks for by itself.
inline constexpr settings::LangText kUpdateStopButton =
    settings::Caption(settings::kUpdateWindow, 1, "Стоп");
inline constexpr settings::LangText kUpdateIndexLabel =
    settings::Caption(settings::kUpdateWindow, 2, "Индекс:");

}  // namespace zyl::ui
