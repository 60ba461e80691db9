#include "settings/OptionEntries.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "base/Strings.h"
#include "settings/Config.h"

namespace zyl::settings {

namespace {

using S = Settings;
constexpr ArchiverRow kRows[] = {
    {"ARJ (*.arj)", "arj", &S::ArjPath, &S::ArjCmd},
    {"MS CAB (*.cab)", "cab", &S::CabPath, &S::CabCmd},
    {"LHA (*.lzh)", "lzh", &S::LhaPath, &S::LhaCmd},
    {"RAR (*.rar)", "rar", &S::RarPath, &S::RarCmd},
    {"UC (*.uc2)", "uc2", &S::UcPath, &S::UcCmd},
    {"ZIP (*.zip)", "zip", &S::ZipPath, &S::ZipCmd},
};
static_assert(std::size(kRows) == kArchiverCount);

}  // namespace

std::span<const ArchiverRow> ArchiverRows() {
  return kRows;
}

OptionEntries EntriesFromSettings(const Settings& s) {
  OptionEntries e;
  e.indexFolder = s.IndexFolder;
  e.htmlTemplate = s.HtmlTemplate;
  e.searchIndexFile = s.SearchIndexFile;
  e.port = std::to_string(s.localport);
  e.listLength = std::to_string(s.QueryRecentLenght);
  e.forceCodePage = s.ForceCodePage;
  e.htmlOptimization = s.HtmlOptimization;
  e.useHistory = s.UseHistory;
  e.useInternalHtmlParser = s.UseInternalHtmlParser;
  e.foundTextColor = s.FoundTextColor;
  e.foundTextBold = s.FoundTextBold;
  e.foundTextUnderLine = s.FoundTextUnderLine;
  e.simpleTextBackColor = s.SimpleTextBackColor;
  e.simpleTextColor = s.SimpleTextColor;
  e.simpleTextFontName = s.SimpleTextFontName;
  e.simpleTextFontSize = s.SimpleTextFontSize;
  for (std::size_t i = 0; i < kArchiverCount; ++i) {
    e.archiverPaths[i] = s.*kRows[i].path;
    e.archiverCommands[i] = s.*kRows[i].command;
  }
  return e;
}

std::optional<std::int32_t> WholeNumber(std::string_view text) {
  text = base::TrimView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string IndexFolderFromEntry(std::string_view text) {
  if (base::IsAbsolutePath(text)) return base::WithTrailingSlash(text);
  return base::WithTrailingSlash(base::JoinPath(base::ProgramFolder(), text));
}

Settings ApplyEntries(const Settings& current, const OptionEntries& e) {
  Settings s = current;
  s.ForceCodePage = e.forceCodePage;
  s.HtmlOptimization = e.htmlOptimization;
  s.UseInternalHtmlParser = e.useInternalHtmlParser;
  s.UseHistory = e.useHistory;
  s.IndexFolder = IndexFolderFromEntry(e.indexFolder);
  // The server reads them as it reads them at start-up: relative to the program folder.
  s.HtmlTemplate = ResolveSettingPath(e.htmlTemplate);
  s.SearchIndexFile = ResolveSettingPath(e.searchIndexFile);
  if (const auto port = WholeNumber(e.port); port && *port >= 1 && *port <= 65535) {
    s.localport = *port;
  }
  if (const auto length = WholeNumber(e.listLength); length && *length >= 0) {
    s.QueryRecentLenght = *length;
  }
  s.FoundTextColor = e.foundTextColor;
  s.FoundTextBold = e.foundTextBold;
  s.FoundTextUnderLine = e.foundTextUnderLine;
  s.SimpleTextBackColor = e.simpleTextBackColor;
  s.SimpleTextColor = e.simpleTextColor;
  s.SimpleTextFontName = e.simpleTextFontName;
  s.SimpleTextFontSize = e.simpleTextFontSize;
  // SaveConfig leaves the stored language alone when Lang is empty.
  s.Lang = e.language.empty() ? std::string() : base::InProgramFolder(e.language);
  for (std::size_t i = 0; i < kArchiverCount; ++i) {
    s.*kRows[i].path = e.archiverPaths[i];
    s.*kRows[i].command = e.archiverCommands[i];
  }
  return s;
}

std::vector<std::string> LanguageFiles(std::string_view folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(fs::path(std::string(folder)), error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    std::string name = it->path().filename().string();
    if (name.size() > 4 &&
        base::AsciiLower(std::string_view(name).substr(name.size() - 4)) == ".lng") {
      names.push_back(std::move(name));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace zyl::settings
