#include "settings/Settings.h"

#include <sys/stat.h>

#include <limits>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "settings/Config.h"
#include "settings/IniFile.h"

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
  explicit IniReader(std::string path) : path_(std::move(path)) {}

  std::string String(std::string_view section, std::string_view key, std::string_view def) const {
    return ReadIniValue(section, key, def, path_);
  }

  // The leading numeric part, rounded; a text without one reads as 0. A number that does not
  // fit the field gives the default rather than a wrapped value.
  template <typename Int>
  Int Number(std::string_view section, std::string_view key, Int def) const {
    const std::string text = ReadIniValue(section, key, "", path_);
    if (text.empty()) return def;
    const std::int64_t n = base::ValInt(text);
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max()) return def;
    return static_cast<Int>(n);
  }

  // Exactly "1" is true; " 1", "yes" or "true" are false.
  bool Boolean(std::string_view section, std::string_view key, bool def) const {
    return ReadIniValue(section, key, def ? "1" : "0", path_) == "1";
  }

  std::string Path(std::string_view section, std::string_view key, std::string_view def) const {
    return ResolveSettingPath(String(section, key, def));
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
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

void LoadConfig() {
  Settings s;  // the defaults
  const Settings def;
  const IniReader config(ConfigIniPath());
  const IniReader server(ServerIniPath());

  // 1. Recent lists; reading them does not create config.ini.
  s.RecentSearch = LoadGeneralSetting("RecentSearch");
  s.RecentIndex = LoadGeneralSetting("RecentIndex");
  s.RecentTitle = LoadGeneralSetting("RecentTitle");
  s.RecentAuthor = LoadGeneralSetting("RecentAuthor");
  s.RecentFileName = LoadGeneralSetting("RecentFileName");
  s.RecentUserTypes = LoadGeneralSetting("RecentUserTypes");

  // 2. Index folder.
  s.IndexFolder = ResolveIndexFolder(config.String("General", "IndexFolderName", "index"));

  // 3. Pages of the document server.
  s.SearchIndexFile = server.Path("General", "SearchIndexFile", "");
  s.HtmlTemplate = server.Path("General", "HtmlTemplate", "");

  // 4. Text view fonts and colours, then the general switches.
  constexpr std::string_view kFonts = "Interface:FontsAndColors";
  s.FoundTextColor = config.Number(kFonts, "FoundTextColor", def.FoundTextColor);
  s.FoundTextBold = config.Boolean(kFonts, "FoundTextBold", def.FoundTextBold);
  s.FoundTextUnderLine = config.Boolean(kFonts, "FoundTextUnderLine", def.FoundTextUnderLine);
  s.SimpleTextBackColor = config.Number(kFonts, "SimpleTextBackColor", def.SimpleTextBackColor);
  s.SimpleTextColor = config.Number(kFonts, "SimpleTextColor", def.SimpleTextColor);
  s.SimpleTextFontName = config.String(kFonts, "SimpleTextFontName", def.SimpleTextFontName);
  s.SimpleTextFontSize = config.Number(kFonts, "SimpleTextFontSize", def.SimpleTextFontSize);
  s.TextCharSet = config.Number(kFonts, "TextCharSet", def.TextCharSet);
  s.QueryRecentLenght = config.Number("General", "QueryRecentLenght", def.QueryRecentLenght);
  s.ForceCodePage = config.Boolean("General", "ForceCodePage", def.ForceCodePage);
  s.UseInternalHtmlParser =
      config.Boolean("General", "UseInternalHtmlParser", def.UseInternalHtmlParser);
  s.HtmlOptimization = config.Boolean("General", "HtmlOptimization", def.HtmlOptimization);
  s.UseHistory = config.Boolean("Interface", "UseHistory", def.UseHistory);

  // 5. MIME types of served documents, then the port.
  if (const auto mime = ReadIniSection("Mime", server.path())) {
    for (const std::string& line : *mime) {
      if (!line.empty()) s.Mime.push_back(line);
    }
  }
  s.localport = server.Number("General", "localport", def.localport);
  s.BindAddress = server.String("General", "BindAddress", def.BindAddress);

  // 6. Language file, always in the program folder.
  const std::string lang = config.String("Interface", "Lang", "");
  s.Lang = base::InProgramFolder(lang.empty() ? std::string_view("english.lng") : lang);

  // 7. Help of that language. Read without creating the language file when it is missing.
  s.Help = ResolveSettingPath(GetProfileValue("General", "Help", kDefaultHelpFile, s.Lang));

  // 8. Archivers.
  s.ArjPath = config.String("Archiver", "ArjPath", "");
  s.CabPath = config.String("Archiver", "CabPath", "");
  s.LhaPath = config.String("Archiver", "LhaPath", "");
  s.RarPath = config.String("Archiver", "RarPath", "");
  s.UcPath = config.String("Archiver", "UcPath", "");
  s.ZipPath = config.String("Archiver", "ZipPath", "");
  s.ArjCmd = config.String("Archiver", "ArjCmd", "");
  s.CabCmd = config.String("Archiver", "CabCmd", "");
  s.LhaCmd = config.String("Archiver", "LhaCmd", "");
  s.RarCmd = config.String("Archiver", "RarCmd", "");
  s.UcCmd = config.String("Archiver", "UcCmd", "");
  s.ZipCmd = config.String("Archiver", "ZipCmd", "");
  s.ShowConsole = config.Number("Archiver", "ShowConsole", def.ShowConsole);
  s.MaxUnpackedBytes = Positive(config.Number("Archiver", "MaxUnpackedBytes", def.MaxUnpackedBytes),
                                def.MaxUnpackedBytes);
  s.MaxMembers = Positive(config.Number("Archiver", "MaxMembers", def.MaxMembers), def.MaxMembers);

  // Where the mail stores live on this machine.
  s.OutlookExpressFolder = config.String("Mail", "OutlookExpressFolder", "");
  s.NetscapeFolders = config.String("Mail", "NetscapeFolders", "");

  // Crawler limits.
  s.ConnectTimeout =
      Positive(config.Number("Web", "ConnectTimeout", def.ConnectTimeout), def.ConnectTimeout);
  s.RequestTimeout =
      Positive(config.Number("Web", "RequestTimeout", def.RequestTimeout), def.RequestTimeout);
  s.MaxPageSize = Positive(config.Number("Web", "MaxPageSize", def.MaxPageSize), def.MaxPageSize);
  const std::int32_t redirects = config.Number("Web", "MaxRedirects", def.MaxRedirects);
  s.MaxRedirects = redirects >= 0 ? redirects : def.MaxRedirects;

  // Extraction workers; 0 lets the build choose one per core.
  const std::int32_t workers = config.Number("Build", "Workers", def.Workers);
  s.Workers = workers >= 0 ? workers : def.Workers;
  s.MaxTextBytes =
      Positive(config.Number("Build", "MaxTextBytes", def.MaxTextBytes), def.MaxTextBytes);

  Config() = std::move(s);
}

}  // namespace zyl::settings
