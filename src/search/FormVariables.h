// Filling the search form from name/value pairs, and back: the variables of the document
// server's "findfile" request, the arguments of the command line's search action and the keys
// of a saved search file all go through one table of the form's fields.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "search/SearchForm.h"

namespace zyl::search {

// Name/value pairs in their order; names match without regard to letter case and the first
// pair of a name counts.
using FormVariables = std::vector<std::pair<std::string, std::string>>;

// The names the form's fields go by. A request (findfile, the command line) carries the boxes,
// SearchType, WholeWord and type1..type21; a saved search file carries every field it keeps
// (Content, Sizefrom, SearchCombo0, SearchOption0, FileType1...).
enum class FormNames { kRequest, kSavedSearch };

// The value of `name`; "" when there is none.
std::string FormVariable(const FormVariables& vars, std::string_view name);

// Fills the form as its fields would be typed, for every field `names` carries (a missing pair
// counts as an empty value): boxes take the text; check boxes are ticked by a non-zero number;
// list positions outside their list are refused and the position in force stays (a search type
// of 9 clamped to 3 would search with the words as a condition); a document type is ticked by
// exactly "1". An option the names do not carry (the request's date and size ranges) is only
// ever switched on, by a non-empty box of its range.
void FillFormFromVariables(const FormVariables& vars, SearchForm& form,
                           FormNames names = FormNames::kRequest);

// The mirror: every field `names` carries, in the order a saved search file lists them, with
// check boxes as "1"/"0" and list positions in decimal.
FormVariables VariablesFromForm(const SearchForm& form, FormNames names);

}  // namespace zyl::search
