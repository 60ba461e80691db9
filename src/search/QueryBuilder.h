// What the query builder inserts: the fragments of its field, operator and character-set
// buttons, its function catalogue with the syntax lines, and the hand-over of the edited
// condition to the search box. The dialog only shows these and puts them at the cursor.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/DateTime.h"
#include "settings/LangKeys.h"

namespace zyl::search {

// The seven field buttons, in order: content, author, title, file name, date, size, type.
inline constexpr int kQueryFieldButtons = 7;
// Entries of a field button's menu (the type button has one per document type).
std::span<const settings::LangText> QueryFieldMenu(int button);
// The text a field menu entry inserts; `today` fills the date entries as d/m/yyyy.
std::string QueryFieldFragment(int button, int entry, const base::DateTimeParts& today);

// The fifteen operator buttons: caption, tool tip (none for 11..14) and inserted text (button
// 10 opens the character-set menu and inserts nothing itself).
inline constexpr int kQueryOperators = 15;
inline constexpr int kCharacterSetButton = 10;
std::string_view QueryOperatorCaption(int index);
const settings::LangText* QueryOperatorToolTip(int index);
std::string_view QueryOperatorFragment(int index);

// The character-set menu: its entries and what each inserts.
std::span<const settings::LangText> CharacterSetMenu();
std::string_view CharacterSetFragment(int entry);

// The function catalogue: groups in order, each with its functions; node keys "r1".."r6" for
// the groups, "a0".."f4" for the functions, "z" for the last group without functions.
struct CatalogueGroup {
  std::string_view key;
  settings::LangText name;
  std::span<const std::string_view> functions;
};
std::span<const CatalogueGroup> FunctionCatalogue();
// Key of function `i` of `group` (letter of the group and the position: "a2").
std::string FunctionKey(const CatalogueGroup& group, std::size_t i);
// The syntax line of a node: its entry of the group's syntax list for a function, the "other
// functions" note for "z", "" for a group node or an unknown key.
std::string SyntaxOf(std::string_view nodeKey);
// The word the function help is looked up by: fixed words for the groups, "<name> - функция"
// for a function.
std::string HelpKeywordOf(std::string_view nodeKey, std::string_view nodeText);

// The condition as the search box takes it: every line break (CR LF, or a lone LF or CR as an
// editor gives it) becomes one space.
std::string HandOverText(std::string_view editorText);

}  // namespace zyl::search
