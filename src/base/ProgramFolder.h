// The program folder: where config.ini, server.ini, the language files, the template database,
// index/, TMP/ and report.txt live.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zyl::base {

// Chooses the folder: $ZYL_HOME when set; else the executable's folder when it holds
// config.ini (portable mode); else $XDG_DATA_HOME/zyl (default ~/.local/share/zyl).
// `executablePath` may be empty (then /proc/self/exe is used).
std::string ResolveProgramFolder(std::string_view executablePath = {});

// Where an installed program keeps the default files of its program folder: the folder
// share/zyl beside the executable's bin/ (so a package unpacked under any root finds its own
// copy). "" when there is none, as for a program run from its build folder.
// `executablePath` may be empty (then /proc/self/exe is used).
std::string InstalledDefaultsFolder(std::string_view executablePath = {});

// Creates the folder when missing and copies in every default file it lacks: first those of
// `installedDefaults` (when not ""), so an administrator's edits there reach new users, then the
// copies built into the program for anything still missing. Files already there are never
// overwritten. Then runs every registered seed step (the template database is one). Returns
// false when the folder cannot be created; `error` says why.
bool SeedProgramFolder(const std::string& folder, std::string* error = nullptr,
                       std::string_view installedDefaults = {});
void RegisterSeedStep(std::function<void(const std::string& folder)> step);

// The process-wide program folder (no trailing "/"). Set once at start-up.
const std::string& ProgramFolder();
void SetProgramFolder(std::string folder);
// ProgramFolder() + "/" + name.
std::string InProgramFolder(std::string_view name);

}  // namespace zyl::base
