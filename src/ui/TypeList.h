// The document type list with check boxes of the wizard's third step and the edit dialog: the
// The types of the type table with their icons, labels from the language file and type codes as
// keys.
#pragma once

#include <set>
#include <string>

class QListWidget;

namespace zyl::ui {

// Fills the list, nothing checked.
void FillTypeList(QListWidget& list);
std::set<std::string> CheckedTypes(const QListWidget& list);
void SetCheckedTypes(QListWidget& list, const std::set<std::string>& codes);
// Keeps the two PDF items exclusive after the item of `code` changed; call from itemChanged.
void KeepPdfExclusive(QListWidget& list, const std::string& code);

}  // namespace zyl::ui
