#include "search/SavedSearch.h"

#include <algorithm>

#include "base/Strings.h"
#include "settings/IniFile.h"

namespace zyl::search {

namespace {
constexpr std::string_view kSection = "General";

int InRange(const std::string& text, int last) {
  return static_cast<int>(std::clamp<std::int64_t>(base::ValInt(text), 0, last));
}
}  // namespace

void SaveSearch(const std::string& file, const SearchForm& f) {
  auto put = [&file](std::string_view key, std::string_view value) {
    settings::WriteIniValue(kSection, key, value, file);
  };
  auto flag = [](bool b) { return b ? "1" : "0"; };
  put("Content", f.searchText);
  put("WholeWord", flag(f.wholeWord));
  put("SearchType", std::to_string(f.searchType));
  put("Author", f.author);
  put("Datefrom", f.dateFrom);
  put("Dateto", f.dateTo);
  put("Sizefrom", f.sizeFrom);
  put("Sizeto", f.sizeTo);
  put("Title", f.title);
  put("FileName", f.fileName);
  put("DatePoint", f.notEarlierCount);
  put("SizePoint", f.sizeValue);
  put("SearchCombo0", std::to_string(f.dateUnit));
  put("SearchCombo1", std::to_string(f.sizeRelation));
  put("SearchCombo2", std::to_string(f.sizeUnit));
  put("SearchOption0", flag(f.dateBetween));
  put("SearchOption1", flag(f.notEarlier));
  put("SearchOption2", flag(f.sizeBetween));
  put("SearchOption3", flag(f.sizeByCondition));
  for (int i = 1; i <= kTypePositions; ++i)
    put("FileType" + std::to_string(i), flag(f.types[i - 1]));
}

SearchForm OpenSearch(const std::string& file) {
  auto get = [&file](std::string_view key, std::string_view def = "") {
    return settings::ReadIniValue(kSection, key, def, file);
  };
  SearchForm f;
  f.searchText = get("Content");
  f.wholeWord = base::ValInt(get("WholeWord", "0")) != 0;
  f.searchType = InRange(get("SearchType", "0"), kQueryLanguage);
  f.author = get("Author");
  f.dateFrom = get("Datefrom");
  f.dateTo = get("Dateto");
  f.sizeFrom = get("Sizefrom");
  f.sizeTo = get("Sizeto");
  f.title = get("Title");
  f.fileName = get("FileName");
  f.notEarlierCount = get("DatePoint");
  f.sizeValue = get("SizePoint");
  f.dateUnit = InRange(get("SearchCombo0", "0"), kYears);
  f.sizeRelation = InRange(get("SearchCombo1", "0"), kEqual);
  f.sizeUnit = InRange(get("SearchCombo2", "0"), kMegabytes);
  f.dateBetween = base::ValInt(get("SearchOption0", "0")) != 0;
  f.notEarlier = base::ValInt(get("SearchOption1", "0")) != 0;
  f.sizeBetween = base::ValInt(get("SearchOption2", "0")) != 0;
  f.sizeByCondition = base::ValInt(get("SearchOption3", "0")) != 0;
  for (int i = 1; i <= kTypePositions; ++i)
    f.types[i - 1] = get("FileType" + std::to_string(i), "0") == "1";
  return f;
}

}  // namespace zyl::search
