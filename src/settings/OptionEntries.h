// What the options dialog's boxes hold, and the rules that turn them into settings when the
// user confirms: numbers that do not read as whole numbers keep the value in force, a bare
// index folder lives under the program folder, the language is a file of the program folder.
// The dialog only moves texts between its controls and this record.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace zyl::settings {

// One row of the archiver list: its label, the key that finds it, and the settings of its
// program path and command line.
struct ArchiverRow {
  std::string_view label;
  std::string_view key;
  std::string Settings::*path;
  std::string Settings::*command;
};

// The six rows in the list's order (ARJ, CAB, LHA, RAR, UC, ZIP).
std::span<const ArchiverRow> ArchiverRows();
inline constexpr std::size_t kArchiverCount = 6;

struct OptionEntries {
  // Boxes as typed.
  std::string indexFolder;
  std::string htmlTemplate;
  std::string searchIndexFile;
  std::string port;
  std::string listLength;
  // Check boxes.
  bool forceCodePage = false;
  bool htmlOptimization = false;
  bool useHistory = false;
  bool useInternalHtmlParser = false;
  // The two text styles (colours as stored: red + green * 256 + blue * 65536).
  std::int32_t foundTextColor = 0;
  bool foundTextBold = false;
  bool foundTextUnderLine = false;
  std::int32_t simpleTextBackColor = 0;
  std::int32_t simpleTextColor = 0;
  std::string simpleTextFontName;
  std::int32_t simpleTextFontSize = 0;
  // File name of the selected language file; "" when none is selected.
  std::string language;
  // Program path and command line per archiver row.
  std::array<std::string, kArchiverCount> archiverPaths;
  std::array<std::string, kArchiverCount> archiverCommands;
};

// The boxes as the dialog shows them for `s` (the language left unselected; the dialog picks
// it from its list).
OptionEntries EntriesFromSettings(const Settings& s);

// `current` with the confirmed entries applied:
// - the index folder: an absolute path is kept, anything else goes under the program folder;
//   both end with "/";
// - the port only when it is a whole number from 1 to 65535, the list length only when it is a
//   whole number from 0 up; otherwise the value in force stays, without a message;
// - the language: the selected file in the program folder; unchanged when none is selected;
// - TextCharSet and every setting the dialog does not show: unchanged.
// Pass the result to SaveConfig.
Settings ApplyEntries(const Settings& current, const OptionEntries& entries);

// The whole number a box holds (blanks around it allowed, a sign allowed); nullopt for
// anything else ("80a", "", "1.5") and for numbers beyond 32 bits.
std::optional<std::int32_t> WholeNumber(std::string_view text);

// The index folder a typed text stands for (see ApplyEntries).
std::string IndexFolderFromEntry(std::string_view text);

// Names of the language files ("*.lng", any letter case) in `folder`, sorted by name; empty
// when there are none or the folder cannot be read.
std::vector<std::string> LanguageFiles(std::string_view folder);

// The file-name part of a path (after the last "/").
std::string_view FileNamePart(std::string_view path);

}  // namespace zyl::settings
