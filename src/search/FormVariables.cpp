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
  f.searchType = static_cast<int>(std::clamp<std::int64_t>(base::ValInt(get("SearchType")), 0, 3));
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
