// Filling the search form from name/value pairs: the variables of the document server's
// "findfile" request and the arguments of the command line's search action use one mapping.
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

// The value of `name`; "" when there is none.
std::string FormVariable(const FormVariables& vars, std::string_view name);

// Fills the form as the search window's fields would be typed: the boxes (content, author,
// title, location, datefrom, dateto, sizemin, sizemax), SearchType (a number outside 0..3
// keeps the type in force), WholeWord and type1..typeN (N = kTypePositions) ("1" ticks) are
// overwritten; the date and size options are only ever switched on, by a non-empty date or size.
void FillFormFromVariables(const FormVariables& vars, SearchForm& form);

}  // namespace zyl::search
