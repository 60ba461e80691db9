#include "settings/Language.h"

#include <array>
#include <string>

#include "base/Strings.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"

namespace zyl::settings {

namespace {
constexpr std::array<std::string_view, 19> kSectionNames = {
    "",
    "ManagerWindow",
    "Common",
    "SearchWindow",
    "OptionWindow",
    "WizardWindow1",
    "WizardWindow2",
    "WizardWindow3",
    "WizardWindow4",
    "EditWindow",
    "QueryWindow",
    "ReportWindow",
    "ServerWindow",
    "WebWizardWindow1",
    "WebWizardWindow2",
    "WebWizardWindow3",
    "UpdateWindow",
    "FileType",
    "PresetScheme",
};
}  // namespace

std::string_view LangSectionName(int section) {
  if (section < 1 || section >= static_cast<int>(kSectionNames.size())) return {};
  return kSectionNames[static_cast<std::size_t>(section)];
}

std::string GetLangString(int section, int key, std::string_view defaultText) {
  const std::string& file = Config().Lang;
  if (file.empty()) return std::string(defaultText);
  const std::string value =
      GetProfileValue(LangSectionName(section), std::to_string(key), defaultText, file);
  // A value is one line in the file; the two characters \n stand for a line break.
  return base::Replace(value, "\\n", "\r\n");
}

std::string LangString(const LangText& text) {
  return GetLangString(text.section, text.key,
                       text.kind == LangKind::Message ? text.text : std::string_view());
}

}  // namespace zyl::settings
