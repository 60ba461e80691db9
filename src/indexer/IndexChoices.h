// What a person chooses for a local index in the new-index wizard and the edit dialog, as plain
// functions the windows call: the working list of checked folders, the document types with
// their preset schemes, and the edit dialog's reading and writing of a descriptor.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/IndexDefinition.h"

namespace zyl::indexer {

// --- Checked folders -------------------------------------------------------------------------
// The working list is ";"-terminated folder paths, each ending in "/", in the order they were
// checked. Paths keep their letter case: on this file system two spellings are two folders.

// Appends the folder (with a trailing "/") to the list; a folder checked twice stands twice.
void AddChosenFolder(std::string& list, std::string_view folder);
// Removes every entry of the folder (compared with its trailing "/"); other entries that merely
// contain its text stay.
void RemoveChosenFolder(std::string& list, std::string_view folder);
// The entries of the list, in order.
std::vector<std::string> ChosenFolders(std::string_view list);

// --- Document types --------------------------------------------------------------------------

// Fills the definition's type choices from the checked type codes: the type set, the PDF mode
// (full text wins when both are given), the mailbox flags and the descriptor's mask list. The
// command-line build and the wizard share it, so they write the same descriptor.
void SetTypeChoices(catalog::IndexDefinition& def, std::set<std::string> codes);

// The five entries of the scheme menu, applied to the check states of the type list (codes
// of extract::TypeListEntries): 1 everything but the full-text PDF, 2 nothing, 3 inverted,
// 4 the two mailboxes added, 5 the office documents and templates added. Other numbers change
// nothing.
void ApplyPresetScheme(int scheme, std::set<std::string>& checked);

// Checking one PDF mode unchecks the other.
void CheckTypeCode(std::set<std::string>& checked, const std::string& code, bool on);

// --- Edit dialog -----------------------------------------------------------------------------

struct EditableIndex {
  std::string title;
  std::string desc;  // line breaks as CR LF
  bool local = true;
  std::string folderList;       // working folder list, every folder of [Folders]
  std::set<std::string> types;  // checked type codes (checktype)
  bool archive = false;
  std::string userFiles;  // "" when the index has none
};

// The codes whose masks occur in `maskList`, the PDF item chosen by `pdfMode` ("Full" gives
// the full-text item) and the two mailbox items by their flags.
std::set<std::string> CheckTypesOf(std::string_view maskList, std::string_view pdfMode,
                                   bool outlookExpress, bool netscape);
// The mask list of the checked codes in the edit dialog's order.
std::string GetNewExt(const std::set<std::string>& checked);

// Reads the descriptor as the edit dialog shows it. A missing descriptor gives empty fields.
EditableIndex LoadEditableIndex(std::string_view descriptorPath);
// The save button's rule: a type or user masks, and at least one folder.
bool CanSaveEditedIndex(const EditableIndex& index);
// Writes the edited fields into the descriptor key by key; the database and the totals stay.
// The PDF mode and the mailbox choices are stored too, so that what the dialog shows checked is
// what the next update reads. Throws settings::IniWriteError.
void SaveEditedIndex(std::string_view descriptorPath, const EditableIndex& index);

}  // namespace zyl::indexer
