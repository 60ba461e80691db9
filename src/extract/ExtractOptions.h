// The options of one extraction run (a build, an update, a test), taken from the settings once
// when the run starts and handed down to every reader, so that the settings may change while a
// run goes on and two runs in one process each keep their own.
#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

namespace zyl::extract {

// The configured archivers ([Archiver] of config.ini) and the limits of one unpacked archive.
struct ArchiveOptions {
  std::string ArjPath, CabPath, LhaPath, RarPath, UcPath, ZipPath;
  std::string ArjCmd, CabCmd, LhaCmd, RarCmd, UcCmd, ZipCmd;
  std::int16_t ShowConsole = 0;
  std::int64_t MaxUnpackedBytes = settings::Settings{}.MaxUnpackedBytes;
  std::int64_t MaxMembers = settings::Settings{}.MaxMembers;
};

// Where the mail stores live ([Mail] of config.ini).
struct MailOptions {
  std::string OutlookExpressFolder;
  std::string NetscapeFolders;
};

struct ExtractOptions {
  bool pdfFullText = false;        // full PDF text instead of the header scan
  bool forceCodePage = false;      // detect and recode the code page of plain text
  bool internalHtmlParser = true;  // the built-in HTML reader instead of the rendering one
  ArchiveOptions archives;
  MailOptions mail;

  // The options the settings record gives; the PDF mode is the index's own and stays off.
  static ExtractOptions FromSettings(const settings::Settings& s);
};

}  // namespace zyl::extract
