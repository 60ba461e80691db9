#include "settings/Settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <type_traits>
#include <variant>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/SettingsTable.h"

namespace zyl::settings {

Settings& Config() {
  static Settings settings;
  return settings;
}

std::string ConfigIniPath() {
  return base::InProgramFolder("config.ini");
}
std::string ServerIniPath() {
  return base::InProgramFolder("server.ini");
}

std::string ResolveSettingPath(std::string_view value) {
  if (value.empty() || base::IsAbsolutePath(value)) return std::string(value);
  return base::JoinPath(base::ProgramFolder(), value);
}

std::string LoadGeneralSetting(std::string_view key) {
  const std::string path = ConfigIniPath();
  if (!base::FileExists(path)) return {};
  return ReadIniValue("General", key, "", path);
}

void SaveGeneralSetting(std::string_view key, std::string_view value) {
  WriteIniValue("General", key, value, ConfigIniPath());
}

namespace {

// Readers of one file by value type. An empty stored value means "use the default".
class IniReader {
 public:
  // The file is read once: the settings are some sixty keys of it.
  explicit IniReader(std::string path) : path_(std::move(path)), lines_(ReadFileLines(path_)) {}

  std::string String(std::string_view section, std::string_view key, std::string_view def) const {
    return lines_ ? IniValue(*lines_, section, key, def) : std::string(def);
  }

  // The leading numeric part, rounded; a text without one reads as 0. A number that does not
  // fit the field gives the default rather than a wrapped value.
  template <typename Int>
  Int Number(std::string_view section, std::string_view key, Int def) const {
    const std::string text = String(section, key, "");
    if (text.empty()) return def;
    const std::int64_t n = base::ValInt(text);
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max()) return def;
    return static_cast<Int>(n);
  }

  // Exactly "1" is true; " 1", "yes" or "true" are false.
  bool Boolean(std::string_view section, std::string_view key, bool def) const {
    return String(section, key, def ? "1" : "0") == "1";
  }

  std::string Path(std::string_view section, std::string_view key, std::string_view def) const {
    return ResolveSettingPath(String(section, key, def));
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::optional<IniLines> lines_;
};

// Limits of our own that make no sense at zero or below keep their defaults.
template <typename Int>
Int Positive(Int value, Int def) {
  return value > 0 ? value : def;
}

// The folder of new descriptors and databases, always with a trailing "/". A missing folder is
// created one level deep, as the wizards expect it to exist. When that fails (a missing parent,
// no rights) the path is kept as it is: nothing is reported here, and the first build or wizard
// that writes into the folder reports the failure with the path in its message.
std::string ResolveIndexFolder(std::string_view name) {
  const std::string folder = base::WithTrailingSlash(ResolveSettingPath(name));
  if (!base::IsFolder(folder)) ::mkdir(folder.c_str(), 0755);
  return folder;
}

}  // namespace

namespace {

// Reads one key of the table into the record `s`; `def` holds the record's defaults.
void LoadKey(const SettingKey& k, const IniReader& file, Settings& s, const Settings& def) {
  switch (k.kind) {
    case SettingKind::kRecentList:
      s.*std::get<std::string Settings::*>(k.member) = LoadGeneralSetting(k.key);
      return;
    case SettingKind::kIndexFolder:
      s.*std::get<std::string Settings::*>(k.member) =
          ResolveIndexFolder(file.String(k.section, k.key, k.textDefault));
      return;
    case SettingKind::kString: {
      auto m = std::get<std::string Settings::*>(k.member);
      s.*m = file.String(k.section, k.key, k.textDefault.empty() ? def.*m : k.textDefault);
      return;
    }
    case SettingKind::kPath:
      s.*std::get<std::string Settings::*>(k.member) = file.Path(k.section, k.key, k.textDefault);
      return;
    case SettingKind::kBoolean: {
      auto m = std::get<bool Settings::*>(k.member);
      s.*m = file.Boolean(k.section, k.key, def.*m);
      return;
    }
    case SettingKind::kLines: {
      auto m = std::get<std::vector<std::string> Settings::*>(k.member);
      if (const auto lines = ReadIniSection(k.section, file.path())) {
        for (const std::string& line : *lines) {
          if (!line.empty()) (s.*m).push_back(line);
        }
      }
      return;
    }
    case SettingKind::kLanguage: {
      // Always in the program folder.
      const std::string lang = file.String(k.section, k.key, "");
      s.*std::get<std::string Settings::*>(k.member) =
          base::InProgramFolder(lang.empty() ? std::string_view("english.lng") : lang);
      return;
    }
    case SettingKind::kNumber:
    case SettingKind::kPositive:
    case SettingKind::kNonNegative:
      std::visit(
          [&](auto m) {
            using Member = std::remove_cvref_t<decltype(s.*m)>;
            if constexpr (std::is_integral_v<Member> && !std::is_same_v<Member, bool>) {
              const Member value = file.Number(k.section, k.key, def.*m);
              if (k.kind == SettingKind::kPositive) {
                s.*m = Positive(value, def.*m);
              } else if (k.kind == SettingKind::kNonNegative) {
                s.*m = value >= 0 ? value : def.*m;
              } else {
                s.*m = value;
              }
            }
          },
          k.member);
      return;
  }
}

// The text SaveConfig writes for one key of the record.
std::string SavedText(const SettingKey& k, const Settings& s) {
  return std::visit(
      [&](auto m) -> std::string {
        using Member = std::remove_cvref_t<decltype(s.*m)>;
        if constexpr (std::is_same_v<Member, bool>) {
          return s.*m ? "1" : "0";
        } else if constexpr (std::is_integral_v<Member>) {
          return std::to_string(s.*m);
        } else if constexpr (std::is_same_v<Member, std::string>) {
          // The language is stored as its file name in the program folder.
          if (k.kind == SettingKind::kLanguage) {
            const std::size_t slash = (s.*m).rfind('/');
            return slash == std::string::npos ? s.*m : (s.*m).substr(slash + 1);
          }
          return s.*m;
        } else {
          return {};
        }
      },
      k.member);
}

}  // namespace

void LoadConfig() {
  Settings s;  // the defaults
  const Settings def;
  const IniReader config(ConfigIniPath());
  const IniReader server(ServerIniPath());
  for (const SettingKey& k : SettingsTable())
    LoadKey(k, k.file == SettingFile::kServer ? server : config, s, def);
  // Help of the language. Read without creating the language file when it is missing.
  s.Help = ResolveSettingPath(GetProfileValue("General", "Help", kDefaultHelpFile, s.Lang));
  Config() = std::move(s);
}

void SaveConfig(const Settings& s) {
  std::vector<const SettingKey*> keys;
  for (const SettingKey& k : SettingsTable())
    if (k.saveStep > 0) keys.push_back(&k);
  std::stable_sort(keys.begin(), keys.end(), [](const SettingKey* a, const SettingKey* b) {
    return a->saveStep < b->saveStep;
  });
  const std::string config = ConfigIniPath();
  const std::string server = ServerIniPath();
  for (const SettingKey* k : keys) {
    // A language that is not chosen leaves the stored one alone.
    if (k->kind == SettingKind::kLanguage && s.Lang.empty()) continue;
    WriteIniValue(k->section, k->savedKey.empty() ? k->key : k->savedKey, SavedText(*k, s),
                  k->file == SettingFile::kServer ? server : config);
  }
  // The record changes with the files; the help file follows the language.
  Settings& record = Config();
  for (const SettingKey* k : keys) {
    if (k->kind == SettingKind::kLanguage && s.Lang.empty()) continue;
    std::visit([&](auto m) { record.*m = s.*m; }, k->member);
  }
  if (!s.Lang.empty())
    record.Help = ResolveSettingPath(GetProfileValue("General", "Help", kDefaultHelpFile, s.Lang));
}

}  // namespace zyl::settings
