// The reader process: the file-format libraries (wv, libgsf, shapelib, libwpd, libwps, poppler,
// libarchive) read documents and archives outside the program. The reader is a program
// of its own (zyl-reader), started on first use and kept for the following files, the way an
// office program would be kept running; since it is started afresh rather than forked from the
// running, multi-threaded program, it inherits no lock held by another thread. It forks a fresh
// process for every job, so a library that crashes, hangs or corrupts its memory on a damaged
// file fails only that file. The libraries' messages on stdout and stderr go nowhere.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "extract/DocumentType.h"
#include "extract/process/HelperDocument.h"
#include "extract/process/ReaderProtocol.h"

namespace zyl::extract {

// The job number of unpacking an archive (Archive.h); the jobs of the document types have the
// numbers ReaderJobNumber gives (DocumentTypes.h).
inline constexpr unsigned kUnpackArchiveJob = 0;

// Reads the file with the type's job in the helper; a text longer than MaxTextBytes comes back
// cut to it. nullopt when the type has no job, the reader failed (damaged or unsupported file),
// the helper died while reading or did not answer within the time limit; a document with
// passwordRequired set for an encrypted one.
std::optional<HelperDocument> ReadInHelper(const DocumentType& type, std::string_view path);

// The reader of a type whose files the reader process reads whole: the file through the
// type's job, stored with the type's stored type; "error" (with passwordRequired for an
// encrypted document) when it could not be read.
FileInfo ReadInReaderProcess(std::string_view path, const DocumentType& type,
                             const ExtractOptions& options);

// Runs a job in the reader process with the arguments its side expects; the time limit is
// that of a document of sizedPath's size. nullopt when the job failed, the reader died while
// working on it or did not answer within the time limit; else the job's answer (never empty).
std::optional<ReaderMessage> RunInReader(unsigned job, std::string_view sizedPath,
                                         const ReaderMessage& args);

// The reader program is $ZYL_READER when set, else zyl-reader beside the running program or in
// ../libexec/zyl/ from it (an installation), else the one of the build tree this code was built
// in. Starts the reader process now unless it runs (saves the first file the wait).
void PrepareHelper();
// Ends the reader process (it is started again by the next read). Cheap; safe to call at any
// time.
void StopHelper();

// How long one document may take before it is taken for a hang and fails: this limit (20
// seconds unless set) plus five seconds per megabyte of the file.
void SetHelperTimeLimit(std::chrono::milliseconds limit);

// The helper's process id while one runs (for diagnostics and tests).
std::optional<pid_t> HelperPid();

}  // namespace zyl::extract
