// The reader process: the file-format libraries (wv, libgsf, shapelib, libwpd, libwps,
// poppler) read documents outside the program. A helper process is forked on first use and
// kept for the following files, the way an office program would be kept running; it forks a
// fresh process for every document, so a library that crashes, hangs or corrupts its memory
// on a damaged file fails only that file. The libraries' messages on stdout and stderr go
// nowhere.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

enum class HelperJob : unsigned {
  WordDocument = 1,  // .doc/.dot through wv
  ExcelWorkbook,     // .xls family through our BIFF reader over libgsf
  DbfTable,          // .dbf through shapelib
  WordPerfect,       // .wpd through libwpd
  WorksText,         // .wps/.wri (and DOS Word) through libwps
  LotusDos,          // .wk1/.wq1 through libwps, old text in CP866
  LotusWindows,      // .wk3/.wk4/.wb1 through libwps, old text in Windows-1251
  PdfText,           // .pdf through poppler
};

struct HelperDocument {
  std::string content;
  std::string author;
  std::string title;
  // The document is encrypted and was not read: the fields above are empty.
  bool passwordRequired = false;
};

// Reads the file in the helper. nullopt when the reader failed (damaged or unsupported file),
// the helper died while reading or did not answer within the time limit; a document with
// passwordRequired set for an encrypted one.
std::optional<HelperDocument> ReadInHelper(HelperJob job, std::string_view path);

// Ends the helper (it is started again by the next read). Cheap; safe to call at any time.
// Starts the reader process now unless it runs. A process forked while other threads hold
// locks could inherit them held, so callers that are about to start worker threads start it
// first.
void PrepareHelper();
void StopHelper();

// How long one document may take before it is taken for a hang and fails: this limit (20
// seconds unless set) plus five seconds per megabyte of the file.
void SetHelperTimeLimit(std::chrono::milliseconds limit);

// The helper's process id while one runs (for diagnostics and tests).
std::optional<pid_t> HelperPid();

// What the helper does for one job; exposed so that the readers can also be run in-process
// (benchmarks, debugging).
std::optional<HelperDocument> RunHelperJob(HelperJob job, const std::string& path);

}  // namespace zyl::extract
