// The captions of the search window, the query builder and the report dialog: one table per
// window of (control, part, language text), applied when the window loads and again after a
// language change. The shipped language files hold every key of these tables.
#pragma once

#include <span>
#include <string_view>

#include "settings/LangKeys.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

std::span<const WindowText> SearchWindowTexts();
std::span<const WindowText> QueryWindowTexts();
std::span<const WindowText> ReportWindowTexts();
// The text of the control `objectName` in one of the tables (the first entry when unknown).
const settings::LangText& SearchText(std::string_view objectName);

// Messages of the report dialog.
inline constexpr settings::LangText kReportTotal{settings::kReportWindow, 100, "Всего файлов:"};
inline constexpr settings::LangText kReportOpenQuestion{settings::kReportWindow, 101,
                                                        "Открыть отчет?"};

}  // namespace zyl::ui
