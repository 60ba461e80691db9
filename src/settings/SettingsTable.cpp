#include "settings/SettingsTable.h"

namespace zyl::settings {

namespace {

using F = SettingFile;
using K = SettingKind;
using S = Settings;
constexpr std::string_view kFonts = "Interface:FontsAndColors";

// clang-format off
const SettingKey kKeys[] = {
    // 1. Recent lists.
    {F::kConfig, "General", "RecentSearch", &S::RecentSearch, K::kRecentList},
    {F::kConfig, "General", "RecentIndex", &S::RecentIndex, K::kRecentList},
    {F::kConfig, "General", "RecentTitle", &S::RecentTitle, K::kRecentList},
    {F::kConfig, "General", "RecentAuthor", &S::RecentAuthor, K::kRecentList},
    {F::kConfig, "General", "RecentFileName", &S::RecentFileName, K::kRecentList},
    {F::kConfig, "General", "RecentUserTypes", &S::RecentUserTypes, K::kRecentList},
    // 2. Index folder.
    {F::kConfig, "General", "IndexFolderName", &S::IndexFolder, K::kIndexFolder, "index", 60},
    // 3. Pages of the document server.
    {F::kServer, "General", "SearchIndexFile", &S::SearchIndexFile, K::kPath, "", 31},
    {F::kServer, "General", "HtmlTemplate", &S::HtmlTemplate, K::kPath, "", 30},
    // 4. Text view fonts and colours, then the general switches.
    {F::kConfig, kFonts, "FoundTextColor", &S::FoundTextColor, K::kNumber, "", 70},
    {F::kConfig, kFonts, "FoundTextBold", &S::FoundTextBold, K::kBoolean, "", 70},
    {F::kConfig, kFonts, "FoundTextUnderLine", &S::FoundTextUnderLine, K::kBoolean, "", 70},
    {F::kConfig, kFonts, "SimpleTextBackColor", &S::SimpleTextBackColor, K::kNumber, "", 70},
    {F::kConfig, kFonts, "SimpleTextColor", &S::SimpleTextColor, K::kNumber, "", 70},
    {F::kConfig, kFonts, "SimpleTextFontName", &S::SimpleTextFontName, K::kString, "Arial", 70},
    {F::kConfig, kFonts, "SimpleTextFontSize", &S::SimpleTextFontSize, K::kNumber, "", 70},
    {F::kConfig, kFonts, "TextCharSet", &S::TextCharSet, K::kNumber, "", 70},
    {F::kConfig, "General", "QueryRecentLenght", &S::QueryRecentLenght, K::kNumber, "", 50},
    {F::kConfig, "General", "ForceCodePage", &S::ForceCodePage, K::kBoolean, "", 10},
    {F::kConfig, "General", "UseInternalHtmlParser", &S::UseInternalHtmlParser, K::kBoolean, "", 12},
    {F::kConfig, "General", "HtmlOptimization", &S::HtmlOptimization, K::kBoolean, "", 11},
    {F::kConfig, "Interface", "UseHistory", &S::UseHistory, K::kBoolean, "", 13},
    // 5. MIME types of served documents, then the port.
    {F::kServer, "Mime", "", &S::Mime, K::kLines},
    {F::kServer, "General", "localport", &S::localport, K::kNumber, "", 40, "LocalPort"},
    {F::kServer, "General", "BindAddress", &S::BindAddress, K::kString},
    {F::kServer, "General", "MaxConnections", &S::MaxConnections, K::kPositive},
    {F::kServer, "General", "ResultsPerPage", &S::ResultsPerPage, K::kNonNegative},
    {F::kServer, "General", "SearchThreads", &S::SearchThreads, K::kNonNegative},
    // 6. Language file (its help file is read from it after the table).
    {F::kConfig, "Interface", "Lang", &S::Lang, K::kLanguage, "", 80},
    // 8. Archivers.
    {F::kConfig, "Archiver", "ArjPath", &S::ArjPath, K::kString, "", 100},
    {F::kConfig, "Archiver", "CabPath", &S::CabPath, K::kString, "", 102},
    {F::kConfig, "Archiver", "LhaPath", &S::LhaPath, K::kString, "", 104},
    {F::kConfig, "Archiver", "RarPath", &S::RarPath, K::kString, "", 106},
    {F::kConfig, "Archiver", "UcPath", &S::UcPath, K::kString, "", 108},
    {F::kConfig, "Archiver", "ZipPath", &S::ZipPath, K::kString, "", 110},
    {F::kConfig, "Archiver", "ArjCmd", &S::ArjCmd, K::kString, "", 101},
    {F::kConfig, "Archiver", "CabCmd", &S::CabCmd, K::kString, "", 103},
    {F::kConfig, "Archiver", "LhaCmd", &S::LhaCmd, K::kString, "", 105},
    {F::kConfig, "Archiver", "RarCmd", &S::RarCmd, K::kString, "", 107},
    {F::kConfig, "Archiver", "UcCmd", &S::UcCmd, K::kString, "", 109},
    {F::kConfig, "Archiver", "ZipCmd", &S::ZipCmd, K::kString, "", 111},
    {F::kConfig, "Archiver", "ShowConsole", &S::ShowConsole, K::kNumber},
    // Keys of our own: archive limits, mail stores, crawler limits, extraction workers
    // and the text bound of one document.
    {F::kConfig, "Archiver", "MaxUnpackedBytes", &S::MaxUnpackedBytes, K::kPositive},
    {F::kConfig, "Archiver", "MaxMembers", &S::MaxMembers, K::kPositive},
    {F::kConfig, "Mail", "OutlookExpressFolder", &S::OutlookExpressFolder, K::kString},
    {F::kConfig, "Mail", "NetscapeFolders", &S::NetscapeFolders, K::kString},
    {F::kConfig, "Web", "ConnectTimeout", &S::ConnectTimeout, K::kPositive},
    {F::kConfig, "Web", "RequestTimeout", &S::RequestTimeout, K::kPositive},
    {F::kConfig, "Web", "MaxPageSize", &S::MaxPageSize, K::kPositive},
    {F::kConfig, "Web", "MaxRedirects", &S::MaxRedirects, K::kNonNegative},
    {F::kConfig, "Build", "Workers", &S::Workers, K::kNonNegative},
    {F::kConfig, "Build", "MaxTextBytes", &S::MaxTextBytes, K::kPositive},
};
// clang-format on

}  // namespace

std::span<const SettingKey> SettingsTable() {
  return kKeys;
}

}  // namespace zyl::settings
