// Defining a new index the way the new-index wizards do: the name checks, the paths of its
// descriptor and database, and the folder list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/IndexDefinition.h"

namespace zyl::catalog {

// Checks the name in the index folder and, when it is good, leaves an empty descriptor there
// and fills title, description, paths and index folder of `def`. The name of an unfinished
// index (IsUnfinishedIndex) is good: the build replaces it. Returns "" on success, else
// the message to show ("Индекс с таким именем уже существует", "Необходимо задать имя индекса",
// "Имя файла неверно").
std::string DefineNewIndex(std::string_view name, std::string_view desc,
                           std::string_view indexFolder, IndexDefinition& def);

// The chosen folders as the wizard stores them: each with a trailing "/", folders inside
// another chosen folder dropped, whole trees included.
std::vector<IndexFolderEntry> NormalizeChosenFolders(const std::vector<std::string>& folders);

}  // namespace zyl::catalog
