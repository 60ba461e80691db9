#include "search/FormVariables.h"

#include <algorithm>

#include "base/Strings.h"

namespace zyl::search {

std::string FormVariable(const FormVariables& vars, std::string_view name) {
  for (const auto& [n, v] : vars)
    if (base::EqualsNoCase(n, name)) return v;
  return {};
}

void FillFormFromVariables(const FormVariables& vars, SearchForm& f) {
  auto get = [&vars](std::string_view name) { return FormVariable(vars, name); };
  f.searchText = get("content");
  f.wholeWord = base::ValInt(get("WholeWord")) != 0;
  // The list has four types; a number outside it is refused the way the list refuses it, and
  // the type in force stays (clamping 9 to 3 would search with the words as a condition).
  if (const std::int64_t type = base::ValInt(get("SearchType")); type >= 0 && type <= 3)
    f.searchType = static_cast<int>(type);
  f.author = get("author");
  f.title = get("title");
  f.fileName = get("location");
  for (int n = 1; n <= kTypePositions; ++n) f.types[n - 1] = get("type" + std::to_string(n)) == "1";
  f.dateFrom = get("datefrom");
  f.dateTo = get("dateto");
  if (!f.dateFrom.empty() || !f.dateTo.empty()) f.dateBetween = true;
  f.sizeFrom = get("sizemin");
  f.sizeTo = get("sizemax");
  if (!f.sizeFrom.empty() || !f.sizeTo.empty()) f.sizeBetween = true;
}

}  // namespace zyl::search
