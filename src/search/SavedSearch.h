// Saved searches (".zyq"): the whole search form in one [General] section.
#pragma once

#include <string>

#include "search/SearchForm.h"

namespace zyl::search {

// Writes every field, key by key in a fixed order; other keys and sections of an existing file
// stay. Throws settings::IniWriteError when the file cannot be written.
void SaveSearch(const std::string& fileName, const SearchForm& form);

// Reads every field with its default (a missing key clears its field), by the rules of
// FillFormFromVariables; a list position outside its list reads as the first position. The
// search is not run.
SearchForm OpenSearch(const std::string& fileName);

}  // namespace zyl::search
