#include "catalog/UpgradeIndex.h"

#include <algorithm>
#include <optional>

#include "base/Messages.h"
#include "base/Strings.h"
#include "catalog/DescriptorReader.h"
#include "catalog/IndexDatabase.h"
#include "settings/IniFile.h"

namespace zyl::catalog {

namespace {
constexpr std::string_view kTitle = "Конфликт версий индекса";
void Inform(const base::MessageSink& report, std::string_view text) {
  base::Deliver(report, text, kTitle, base::MessageIcon::Information);
}
}  // namespace

bool IsOldExtList(std::string_view ext) {
  return std::count(ext.begin(), ext.end(), ';') > std::count(ext.begin(), ext.end(), '*');
}

std::string UpgradeExtList(std::string_view ext) {
  std::string s(ext);
  for (const char* word : {"txt", "rtf", "wri", "doc", "htm*", "xls", "mp3", "pdf"})
    s = base::Replace(s, word, std::string("*.") + word);
  return s;
}

std::string UpgradeUserFiles(std::string_view userFiles) {
  std::vector<std::string> pieces = base::Split(userFiles, ";");
  for (std::string& p : pieces)
    if (!p.empty()) p = "*." + p;
  return base::Join(pieces, ";");
}

void UpgradeIndex(std::string_view descriptorPath, const base::MessageSink& report) {
  try {
    const std::string ext = ReadGeneral(descriptorPath, "ext");
    if (IsOldExtList(ext)) {
      Inform(report,
             "Обнаружен индекс версии 0.98 или ниже.\r\n"
             "Индекс будет обновлен до версии 0.99 автоматически.\r\n"
             "Без обновления поиск невозможен.");
      settings::WriteIniValue("General", "ext", UpgradeExtList(ext), descriptorPath);
      const std::string userFiles = ReadGeneral(descriptorPath, "UserFiles");
      if (!userFiles.empty())
        settings::WriteIniValue("General", "UserFiles", UpgradeUserFiles(userFiles),
                                descriptorPath);
    }
  } catch (const std::exception& e) {
    // A descriptor that cannot be rewritten is reported like a failed database upgrade.
    Inform(report, "Ошибка обновления. Создайте индекс заново или обратитесь в службу поддержки");
    return;
  }

  const std::string dbname = ReadGeneral(descriptorPath, "dbname");
  if (dbname.empty()) return;
  const std::optional<bool> present = HasFilesizeColumn(dbname);
  if (present && *present) return;
  if (present) {
    Inform(report,
           "Обнаружена база индекса версии 0.96 или ниже.\r\n"
           "База данных будет обновлена до версии 0.99 автоматически.\r\n"
           "Без обновления поиск невозможен.");
    if (AddFilesizeColumn(dbname)) {
      Inform(report, "Обновление завершено.");
      return;
    }
  }
  Inform(report, "Ошибка обновления. Создайте индекс заново или обратитесь в службу поддержки");
}

}  // namespace zyl::catalog
