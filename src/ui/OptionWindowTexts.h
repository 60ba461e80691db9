// The captions of the options dialog (section OptionWindow of the language files) and the
// texts it asks for by itself. Keys follow the order of the dialog's controls: caption, the
// general page, the language page, the view page, the archiver page, the buttons, then the page
// captions; messages sit from key 100 on.
#pragma once

#include <span>

#include "settings/LangKeys.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

std::span<const WindowText> OptionWindowTexts();

// Prompt of the index folder's browser.
inline constexpr settings::LangText kOptionFolderPrompt{settings::kOptionWindow, 100,
                                                        "Укажите каталог для индексов."};
// Name of the archiver programs in the program browser's filter.
inline constexpr settings::LangText kOptionProgramsFilter{settings::kOptionWindow, 101,
                                                          "Программы"};
// The template browser's two filters.
inline constexpr settings::LangText kOptionWebPagesFilter{settings::kOptionWindow, 102,
                                                          "Веб страницы"};
inline constexpr settings::LangText kOptionAllFilesFilter{settings::kOptionWindow, 103,
                                                          "Все файлы"};

inline constexpr settings::LangText kOptionMessages[] = {
    kOptionFolderPrompt, kOptionProgramsFilter, kOptionWebPagesFilter, kOptionAllFilesFilter};

}  // namespace zyl::ui
