// Loading the settings record from config.ini and server.ini, and the [General] keys of
// config.ini that their owners read and write as they change (recent lists).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zyl::settings {

// Help file of a language file that names none, relative to the program folder.
inline constexpr std::string_view kDefaultHelpFile = "help/index.html";

// config.ini and server.ini in the program folder.
std::string ConfigIniPath();
std::string ServerIniPath();

// Reads every key of config.ini and server.ini (and the help file of the language file) into
// Config(). Missing files, sections and keys give the defaults; config.ini and server.ini are
// left behind as empty files when they were missing. Never throws.
void LoadConfig();

// Writes back the keys the options dialog edits, from `s`, in the dialog's order: the switches
// ("1"/"0"), the server pages and port (server.ini, the port as "LocalPort"), the list length,
// the index folder (the resolved folder), the view fonts and colours (numbers as decimal text),
// the language as its file name (unless s.Lang is empty) and the twelve archiver keys. Every
// key goes through WriteIniValue, so other keys, sections and their order stay. Those members
// of Config() take the values of `s` (and Help follows the language). Throws IniWriteError.
struct Settings;
void SaveConfig(const Settings& s);

// A path setting: an absolute value (beginning with "/") is kept; any other value is taken
// relative to the program folder. An empty value stays empty (the setting is unset).
std::string ResolveSettingPath(std::string_view value);

// The value of `key` in [General] of config.ini; "" when config.ini does not exist, which is
// then not created.
std::string LoadGeneralSetting(std::string_view key);
// Writes `key` in [General] of config.ini. Throws IniWriteError.
void SaveGeneralSetting(std::string_view key, std::string_view value);

}  // namespace zyl::settings
