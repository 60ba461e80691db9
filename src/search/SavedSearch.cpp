#include "search/SavedSearch.h"

#include "search/FormVariables.h"
#include "settings/IniFile.h"

namespace zyl::search {

namespace {
constexpr std::string_view kSection = "General";
}  // namespace

void SaveSearch(const std::string& file, const SearchForm& form) {
  for (const auto& [key, value] : VariablesFromForm(form, FormNames::kSavedSearch))
    settings::WriteIniValue(kSection, key, value, file);
}

SearchForm OpenSearch(const std::string& file) {
  // Every key the file may hold, read one by one; a missing key reads as empty, which is the
  // value its field takes in an empty file.
  FormVariables vars = VariablesFromForm(SearchForm{}, FormNames::kSavedSearch);
  for (auto& [key, value] : vars) value = settings::ReadIniValue(kSection, key, "", file);
  // A list position the file holds outside its list leaves the position of an empty file.
  SearchForm form;
  FillFormFromVariables({}, form, FormNames::kSavedSearch);
  FillFormFromVariables(vars, form, FormNames::kSavedSearch);
  return form;
}

}  // namespace zyl::search
