// The text of a workbook read from XML sheets (office open XML, OpenDocument), written as the
// other spreadsheet readers write theirs (WorkbookContent: each sheet's used range, TAB- and
// line-separated), within the run's text bound. A sheet's used range can be far larger than
// its cells (one cell in the first row and one a million rows down make a million lines of
// TABs), so rows that would pass the bound are left out and the text is marked cut.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zyl::extract {

class WorkbookText {
 public:
  WorkbookText();  // bounded by MaxTextBytes()
  explicit WorkbookText(std::uint64_t maxBytes)
      : maxBytes_(maxBytes), maxCells_(std::max<std::uint64_t>(maxBytes / 8, 1024)) {}

  // Adds a cell of the sheet being read (0-based row and column; empty texts are ignored; a
  // later text for the same cell replaces the earlier). False once the cells already passed
  // the bound: nothing more will be kept and the reader may stop.
  bool Add(std::uint64_t row, std::uint64_t column, std::string text);
  // Ends the sheet being read: its text joins the workbook's.
  void EndSheet();
  bool full() const { return cut_; }
  bool cut() const { return cut_; }
  // The workbook's text (the sheet being read ended first).
  std::string Take();

 private:
  struct Cell {
    std::uint64_t row;
    std::uint64_t column;
    std::string text;
  };
  std::uint64_t maxBytes_;
  // A cell held until its sheet ends costs far more memory than its text: a sheet of millions
  // of one-letter cells would take gigabytes. Cells average more than a few bytes of text in
  // real workbooks, so this bound cuts only hostile or freak ones.
  std::uint64_t maxCells_;
  std::uint64_t cellCount_ = 0;
  std::uint64_t sheetBytes_ = 0;
  std::vector<Cell> cells_;
  std::string text_;
  bool cut_ = false;
};

}  // namespace zyl::extract
