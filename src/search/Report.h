// The file list report: the result list written as a tab-separated text file.
#pragma once

#include <string>
#include <vector>

#include "search/ResultList.h"

namespace zyl::search {

struct ReportColumns {
  bool fileName = false;  // "Имя файла": the entry's file text
  bool title = false;
  bool author = false;
  bool type = false;
  bool date = false;
  bool totals = false;  // a last line with the number of entries
};

// The report text: per row, each ticked column as a quoted value followed by a TAB, lines ending
// with CR LF; with totals a last line `totalLabel` + " " + the count, ended like every other
// line. Values are written as they are.
std::string ReportText(const std::vector<ResultRow>& rows, const ReportColumns& columns,
                       const std::string& totalLabel);

// Writes the report to `path`. Returns "" on success, otherwise a message that says which file
// could not be written and why.
std::string WriteReport(const std::string& path, const std::vector<ResultRow>& rows,
                        const ReportColumns& columns, const std::string& totalLabel);

}  // namespace zyl::search
