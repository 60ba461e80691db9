// Pieces shared by the office readers: decoding bytes by a Windows code page number, and the
// text a spreadsheet's used range gives when it is copied as plain text.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zyl::extract {

// True when the converter for the Windows code page number exists (1251, 1252, 866, 20866...).
bool HaveCodePage(int codePage);
// Decodes bytes in the given Windows code page number to UTF-8. An unknown code page falls
// back to the program's rule for outside bytes (base::DecodeLegacyText).
std::string DecodeCodePage(std::string_view bytes, int codePage);
// Drops what was learnt about which code pages exist (the readers' only cache).
void ForgetCodePages();

// The cells of one sheet, by 0-based row and column. Empty texts are not stored.
class SheetGrid {
 public:
  void Set(std::size_t row, std::size_t column, std::string text);
  bool empty() const { return cells_.empty(); }
  std::size_t size() const { return cells_.size(); }
  // The used range (the bounding box of the non-empty cells) as clipboard text; see the .cpp.
  std::string UsedRangeText() const;

 private:
  std::map<std::pair<std::size_t, std::size_t>, std::string> cells_;
};

// Content of a workbook: for each sheet whose used range is not empty, a blank followed by
// that sheet's text; sheets without cells add nothing.
std::string WorkbookContent(const std::vector<SheetGrid>& sheets);

// A number as a spreadsheet shows it without a format: integers without a decimal point,
// other values with up to 15 significant digits, "." as the decimal separator.
std::string FormatCellNumber(double value);

// The first (or last) `count` bytes of a file, fewer when it is shorter; empty when it cannot
// be read.
std::string ReadFileHead(std::string_view path, std::size_t count);
std::string ReadFileTail(std::string_view path, std::size_t count);

// Counts every line break form (CR LF, lone CR, lone LF) as one and writes CR LF.
std::string NormalizeLineBreaks(std::string_view text);

}  // namespace zyl::extract
