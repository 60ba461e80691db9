// Readers of word-processor documents, spreadsheets and PDF files by their paths, and the
// table's reader of the word-processor types.
#pragma once

#include <string_view>

#include "extract/DocumentType.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// doc, dot, rtf, wri, wpd, wps: content, author, title; type = the type of the extension.
FileInfo GetWordInfo(std::string_view path);
// xls, xlt, xlw, xlc, xlm, dbf, dif, csv, wk1, wk3, wk4, wq1, wb1: each sheet's used cells
// after a blank, TAB and line separated; type mapped (lotus, quattro, excel2, ...).
FileInfo GetExcelInfo(std::string_view path);
// pdf, header scan of the raw bytes (title, author, outline titles).
FileInfo GetPdfHeaderInfo(std::string_view path);
// pdf, full text of every page.
FileInfo GetPdfTextInfo(std::string_view path);

// The reader of the word-processor types: a file that holds RTF is read as RTF whatever its
// name says; anything else goes to the type's job in the reader process ("error" for an "rtf"
// that is not RTF).
FileInfo ReadWordProcessor(std::string_view path, const DocumentType& type,
                           const ExtractOptions& options);

// Starts what the readers need before worker threads exist (the reader process).
void PrepareReaders();

// Ends what the readers hold (caches, library state). Cheap; safe to call twice.
void ReleaseAutomationServers();

}  // namespace zyl::extract
