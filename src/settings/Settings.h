// The settings record: every key of config.ini and server.ini, read once at start-up by
// LoadConfig. The rest of the program reads the record, never the files (the recent lists and
// window layouts excepted, whose owners write them back as they change).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zyl::settings {

struct Settings {
  // config.ini [General]
  std::string IndexFolder;  // resolved folder of descriptors and databases, ends with "/"
  std::int32_t QueryRecentLenght = 15;
  bool ForceCodePage = false;
  bool UseInternalHtmlParser = true;
  bool HtmlOptimization = true;
  std::string RecentIndex, RecentSearch, RecentTitle, RecentAuthor, RecentFileName, RecentUserTypes;

  // config.ini [Interface]
  bool UseHistory = false;
  std::string Lang;  // full path of the language file
  std::string Help;  // help file of that language (from the language file)

  // config.ini [Interface:FontsAndColors]
  std::int32_t FoundTextColor = 16777215;
  bool FoundTextBold = false;
  bool FoundTextUnderLine = false;
  std::int32_t SimpleTextBackColor = 16777215;
  std::int32_t SimpleTextColor = 0;
  std::string SimpleTextFontName = "Arial";
  std::int32_t SimpleTextFontSize = 9;
  std::int16_t TextCharSet = 0;

  // config.ini [Archiver]: program and command template per archive kind
  std::string ArjPath, CabPath, LhaPath, RarPath, UcPath, ZipPath;
  std::string ArjCmd, CabCmd, LhaCmd, RarCmd, UcCmd, ZipCmd;
  std::int16_t ShowConsole = 0;
  // Limits of one unpacked archive (our own keys of [Archiver]).
  std::int64_t MaxUnpackedBytes = 1024LL * 1024 * 1024;
  std::int64_t MaxMembers = 100000;

  // config.ini [Mail]: where the mail stores live on this machine.
  std::string OutlookExpressFolder;  // folder holding the *.mbx files
  std::string NetscapeFolders;       // ";"-separated folders holding mailbox files

  // config.ini [Web]: limits of the crawler's requests.
  std::int32_t ConnectTimeout = 10;  // seconds
  std::int32_t RequestTimeout = 30;  // seconds, whole request
  std::int64_t MaxPageSize = 20LL * 1024 * 1024;
  std::int32_t MaxRedirects = 10;

  // config.ini [Build]: extraction workers (0 = one per core).
  std::int32_t Workers = 0;
  // The most text one document may give (bytes of UTF-8); the leading part of a longer one is
  // kept. Far below what the database takes in one value (about 1 GB), and small enough that
  // the documents a build holds at one time stay within a few hundred MB.
  std::int64_t MaxTextBytes = 16LL * 1024 * 1024;

  // server.ini [General]
  std::string SearchIndexFile;  // page sent for "hello"
  std::string HtmlTemplate;     // result template
  std::int32_t localport = 80;
  std::string BindAddress;             // "" = all interfaces
  std::int32_t MaxConnections = 1024;  // connections open at once
  std::int32_t ResultsPerPage = 0;     // rows on one result page; 0 = all
  std::int32_t SearchThreads = 0;      // threads running searches; 0 = by the cores
  // server.ini [Mime]: the section's non-empty lines, as read ("text/html;htm").
  std::vector<std::string> Mime;
};

// The process-wide record.
Settings& Config();

}  // namespace zyl::settings
