// Every key of config.ini and server.ini in one table: where it lives, which member of the
// settings record it fills, how it is read, and whether (and in which order) the options dialog
// writes it back. LoadConfig and SaveConfig are both driven by it, so a key is declared once.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "settings/Settings.h"

namespace zyl::settings {

enum class SettingFile { kConfig, kServer };

enum class SettingKind {
  kRecentList,   // read without creating config.ini; written by the list's owner
  kIndexFolder,  // resolved to a folder ending in "/" and created one level deep
  kString,       // as stored
  kPath,         // relative to the program folder unless absolute
  kBoolean,      // exactly "1" is true
  kNumber,       // leading numeric part; out of the member's range gives the default
  kPositive,     // a number; zero or below gives the default
  kNonNegative,  // a number; below zero gives the default
  kLines,        // the section's non-empty lines (server.ini [Mime])
  kLanguage,     // a file name in the program folder; "" means english.lng
};

using SettingMember = std::variant<std::string Settings::*, bool Settings::*,
                                   std::int16_t Settings::*, std::int32_t Settings::*,
                                   std::int64_t Settings::*, std::vector<std::string> Settings::*>;

struct SettingKey {
  SettingFile file;
  std::string_view section;
  std::string_view key;
  SettingMember member;
  SettingKind kind;
  // The stored default of text settings ("" for the others, whose default is the record's).
  std::string_view textDefault = {};
  // Position in the options dialog's write order (ascending); 0 when the dialog never writes it.
  int saveStep = 0;
  // The spelling the dialog writes, when it differs from the key read ("LocalPort").
  std::string_view savedKey = {};
};

// The keys in the order LoadConfig reads them.
std::span<const SettingKey> SettingsTable();

}  // namespace zyl::settings
