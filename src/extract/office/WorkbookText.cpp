#include "extract/office/WorkbookText.h"

#include <algorithm>

#include "extract/TextLimit.h"
#include "extract/core/OfficeText.h"

namespace zyl::extract {

WorkbookText::WorkbookText() : WorkbookText(MaxTextBytes()) {}

bool WorkbookText::Add(std::uint64_t row, std::uint64_t column, std::string text) {
  if (cut_) return false;
  if (text.empty()) return true;
  // Each cell costs at least its text and a separator in the sheet's text.
  const std::uint64_t cost = text.size() + 1;
  if (text_.size() + sheetBytes_ + cost > maxBytes_ || ++cellCount_ > maxCells_) {
    cut_ = true;
    return false;
  }
  sheetBytes_ += cost;
  cells_.push_back({row, column, std::move(text)});
  return true;
}

void WorkbookText::EndSheet() {
  if (cells_.empty()) return;
  // Cells come row by row in both formats, but nothing makes a file keep that order.
  std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  std::uint64_t firstColumn = UINT64_MAX, lastColumn = 0;
  for (const Cell& c : cells_) {
    firstColumn = std::min(firstColumn, c.column);
    lastColumn = std::max(lastColumn, c.column);
  }
  // What one row of the range costs at least: its TABs and its line end; the sheet's leading
  // blank comes first.
  const std::uint64_t rowCost = (lastColumn - firstColumn) + 2;
  std::uint64_t room = maxBytes_ > text_.size() + 1 ? maxBytes_ - text_.size() - 1 : 0;

  SheetGrid grid;
  std::size_t i = 0;
  std::uint64_t previousRow = cells_.front().row;
  while (i < cells_.size()) {
    const std::uint64_t row = cells_[i].row;
    const std::uint64_t gap = row - previousRow;  // empty rows before this one, plus one
    std::uint64_t cost = rowCost;
    std::size_t end = i;
    for (; end < cells_.size() && cells_[end].row == row; ++end) cost += cells_[end].text.size();
    const bool gapFits = gap <= 1 || (gap - 1) <= room / rowCost;
    if (!gapFits || (gap > 1 ? (gap - 1) * rowCost : 0) + cost > room) {
      cut_ = true;
      break;
    }
    room -= (gap > 1 ? (gap - 1) * rowCost : 0) + cost;
    for (; i < end; ++i)
      grid.Set(static_cast<std::size_t>(row), static_cast<std::size_t>(cells_[i].column),
               std::move(cells_[i].text));
    previousRow = row;
  }
  text_ += WorkbookContent({grid});
  cells_.clear();
  sheetBytes_ = 0;
}

std::string WorkbookText::Take() {
  EndSheet();
  return std::move(text_);
}

}  // namespace zyl::extract
