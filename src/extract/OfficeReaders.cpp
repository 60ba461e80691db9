// Placeholder until the office readers land: every office kind fails with "error".
#include "extract/OfficeReaders.h"

namespace zyl::extract {

FileInfo GetWordInfo(std::string_view) { return ErrorInfo(); }
FileInfo GetExcelInfo(std::string_view) { return ErrorInfo(); }
FileInfo GetPdfHeaderInfo(std::string_view) { return ErrorInfo(); }
FileInfo GetPdfTextInfo(std::string_view) { return ErrorInfo(); }
void ReleaseAutomationServers() {}

}  // namespace zyl::extract
