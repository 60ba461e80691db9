// The captions of the new-index wizards, the build and crawl windows and the edit dialog: one
// table per window of (control, language text), applied when the window loads. Both shipped
// language files hold every key of these tables.
#pragma once

#include <span>
#include <vector>

#include "settings/LangKeys.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

std::span<const WindowText> WizardStep1Texts(bool web);
std::span<const WindowText> WizardStep2Texts();
std::span<const WindowText> WizardStep3Texts();
std::span<const WindowText> BuildWindowTexts();
std::span<const WindowText> WebWizardStep2Texts();
std::span<const WindowText> CrawlWindowTexts();
std::span<const WindowText> EditWindowTexts();
// Every table above, for the language files' completeness check.
std::vector<std::span<const WindowText>> AllWizardTexts();

// Texts the windows set by themselves.
inline constexpr settings::LangText kWizard1Untitled =
    settings::Caption(settings::kWizardWindow1, 4, "Безымянный");
inline constexpr settings::LangText kWebWizard1Untitled =
    settings::Caption(settings::kWebWizardWindow1, 4, "Безымянный");
inline constexpr settings::LangText kCrawlStop =
    settings::Caption(settings::kWebWizardWindow3, 1, "Стоп");
inline constexpr settings::LangText kCrawlClose =
    settings::Caption(settings::kWebWizardWindow3, 2, "Закрыть");
inline constexpr settings::LangText kCrawlIndexLabel =
    settings::Caption(settings::kWebWizardWindow3, 8, "Индекс:");
inline constexpr settings::LangText kEditSaved{
    settings::kEditWindow, 9,
    "Произведено изменение параметров индекса,\r\nрекомендуем обновить индекс"};

}  // namespace zyl::ui
