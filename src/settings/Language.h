// Texts of the windows and logs, looked up in the language file by section number and key.
#pragma once

#include <string>
#include <string_view>

namespace zyl::settings {

enum LangSection : int {
  kManagerWindow = 1,
  kCommon = 2,
  kSearchWindow = 3,
  kOptionWindow = 4,
  kWizardWindow1 = 5,
  kWizardWindow2 = 6,
  kWizardWindow3 = 7,
  kWizardWindow4 = 8,
  kEditWindow = 9,
  kQueryWindow = 10,
  kReportWindow = 11,
  kServerWindow = 12,
  kWebWizardWindow1 = 13,
  kWebWizardWindow2 = 14,
  kWebWizardWindow3 = 15,
  kUpdateWindow = 16,
  kFileType = 17,
  kPresetScheme = 18,
};

// Name of a section number ("" outside 1..18).
std::string_view LangSectionName(int section);

// The text of `key` in `section` of the configured language file (Settings::Lang), with
// every "\n" turned into a line break; `defaultText` when no file is configured or the key is
// missing.
std::string GetLangString(int section, int key, std::string_view defaultText);

}  // namespace zyl::settings
