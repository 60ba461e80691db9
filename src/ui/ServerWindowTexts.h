// The captions of the document server window (section ServerWindow of the language files) and
// the texts it asks for by itself.
#pragma once

#include <span>

#include "settings/LangKeys.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

std::span<const WindowText> ServerWindowTexts();

// Shown in place of the address when the port cannot be opened, followed by the reason.
inline constexpr settings::LangText kServerNotListening{
    settings::kServerWindow, 100,
    "Сервер не запущен: порт не удалось открыть. Укажите другой порт в настройках."};
// Shown while the server listens.
inline constexpr settings::LangText kServerListening{settings::kServerWindow, 101,
                                                     "Сервер работает."};

inline constexpr settings::LangText kServerMessages[] = {kServerNotListening, kServerListening};

}  // namespace zyl::ui
