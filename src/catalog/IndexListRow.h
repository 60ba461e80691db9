// What the index manager shows: one row per entry of the recent index list, the count and the
// selection summary of its status bar, and the details of the selected index. Plain texts, so
// that the window only places them and the rules can be checked without a display.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::catalog {

// Columns of the list, in order: title, descriptor path, index type, date, files, size.
inline constexpr int kIndexListColumns = 6;
inline constexpr int kDescriptorColumn = 1;  // how every window finds a row's descriptor

// A number in the user's number format with its default decimals and digit grouping.
using NumberFormat = std::function<std::string(double)>;

struct IndexListRow {
  std::string descriptorPath;
  // The descriptor is gone: the row is shown (greyed) so that it can be removed from the list.
  bool missing = false;
  std::array<std::string, kIndexListColumns> columns;
  // The numbers behind the files and size columns (0 when the descriptor has none); the
  // selection summary adds these rather than reading the formatted texts back.
  std::int64_t files = 0;
  double sizeKb = 0;
};

// The row of one descriptor. `filescount` is padded on the left to 5 characters, `filessize`
// / 1024 is formatted with `format` and " KB" (or "n/a" when the key is missing) and padded to
// 14; the date is the descriptor file's modification time. A missing descriptor gives its file
// name as title and "n/a" for type, date and size; it is never created by the reading.
IndexListRow MakeIndexListRow(std::string_view descriptorPath, const NumberFormat& format);

// The rows of the descriptors of a recent list, in order.
std::vector<IndexListRow> MakeIndexListRows(const std::vector<std::string>& descriptorPaths,
                                            const NumberFormat& format);

// `text` padded on the left with blanks to `width` characters (code points); longer texts stay.
std::string PadLeft(std::string_view text, std::size_t width);

// Status panel 1: "Всего индексов:" and the number with one leading blank.
std::string IndexCountText(std::size_t rows);

// Status panel 2 for the selected rows: their count, their files and their size (kilobytes
// summed with rounding after each row; " N KB" below 1000 KB, " N MB" below 1 000 000 KB,
// nothing above).
std::string SelectionSummary(std::span<const IndexListRow* const> selected);

// The details pane of one index.
struct IndexDetails {
  std::string description;  // "/n" turned into line breaks
  std::string foldersLabel;
  std::vector<std::string> folders;  // a local index's folders, or a web index's start address
  std::string typesLabel;
  std::vector<std::string> types;  // type labels and mail/archive lines, or the crawl depth
};

// The labels of the document types whose test text occurs in a mask list, in table order;
// `pdfFullText` tells which of the two PDF modes built the index.
using TypeLabels =
    std::function<std::vector<std::string>(std::string_view maskList, bool pdfFullText)>;

// Reads the details of a descriptor; an empty record for a missing one.
IndexDetails ReadIndexDetails(std::string_view descriptorPath, const TypeLabels& typeLabels);

}  // namespace zyl::catalog
