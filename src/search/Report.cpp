#include "search/Report.h"

#include "base/Paths.h"

namespace zyl::search {

std::string ReportText(const std::vector<ResultRow>& rows, const ReportColumns& columns,
                       const std::string& totalLabel) {
  std::string out;
  auto cell = [&out](const std::string& value) {
    out += '"';
    out += value;
    out += "\"\t";
  };
  for (const ResultRow& row : rows) {
    if (columns.fileName) cell(SplitLocation(row.location, row.type).file);
    if (columns.title) cell(row.title);
    if (columns.author) cell(row.author);
    if (columns.type) cell(row.type);
    if (columns.date) cell(row.modified);
    out += "\r\n";
  }
  if (columns.totals) out += totalLabel + " " + std::to_string(rows.size()) + "\r\n";
  return out;
}

std::string WriteReport(const std::string& path, const std::vector<ResultRow>& rows,
                        const ReportColumns& columns, const std::string& totalLabel) {
  std::string error;
  if (base::WriteFileAtomic(path, ReportText(rows, columns, totalLabel), &error)) return {};
  return "Не удалось записать отчет " + path + ": " + error;
}

}  // namespace zyl::search
