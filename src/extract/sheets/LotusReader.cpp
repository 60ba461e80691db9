#include "extract/sheets/LotusReader.h"

#include <librevenge-stream/librevenge-stream.h>
#include <librevenge/librevenge.h>
#include <libwps/libwps.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/Cp1251.h"
#include "base/Paths.h"

namespace zyl::extract {

namespace {

using librevenge::RVNGPropertyList;

// Repeated cells are written out one by one; a damaged file may claim any count, so only a
// realistic run is honoured.
constexpr int kMaxRepeat = 256;

int IntProp(const RVNGPropertyList& props, const char* name, int fallback) {
  const librevenge::RVNGProperty* p = props[name];
  return p ? p->getInt() : fallback;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

// What a cell without text of its own shows: its value in the spreadsheet's unformatted form.
std::string ValueText(const RVNGPropertyList& props) {
  const librevenge::RVNGProperty* typeProp = props["librevenge:value-type"];
  if (!typeProp) return {};
  const std::string type = typeProp->getStr().cstr();
  const librevenge::RVNGProperty* value = props["librevenge:value"];
  if (type == "float" || type == "double" || type == "scientific" || type == "currency" ||
      type == "fraction") {
    return value ? FormatCellNumber(value->getDouble()) : std::string();
  }
  if (type == "percent" || type == "percentage") {
    return value ? FormatCellNumber(value->getDouble() * 100) + "%" : std::string();
  }
  if (type == "bool" || type == "boolean") {
    return value ? (value->getInt() ? "TRUE" : "FALSE") : std::string();
  }
  if (type == "date") {
    return std::to_string(IntProp(props, "librevenge:year", 1900)) + "-" +
           TwoDigits(IntProp(props, "librevenge:month", 1)) + "-" +
           TwoDigits(IntProp(props, "librevenge:day", 1));
  }
  if (type == "time") {
    return TwoDigits(IntProp(props, "librevenge:hours", 0)) + ":" +
           TwoDigits(IntProp(props, "librevenge:minutes", 0)) + ":" +
           TwoDigits(IntProp(props, "librevenge:seconds", 0));
  }
  return {};
}

// Collects the cells of every sheet. Text outside cells (headers, footers, charts, comments,
// text boxes) is not part of the sheets and is dropped.
class SheetCollector : public librevenge::RVNGSpreadsheetInterface {
 public:
  std::vector<SheetGrid> sheets;

  void openSheet(const RVNGPropertyList&) override {
    if (nested_ > 0 || inSheet_) {
      ++nested_;
      return;
    }
    inSheet_ = true;
    row_ = 0;
    sheets.emplace_back();
  }
  void closeSheet() override {
    if (nested_ > 0) {
      --nested_;
      return;
    }
    inSheet_ = false;
  }
  void openSheetRow(const RVNGPropertyList& props) override {
    if (nested_ > 0 || !inSheet_) {
      ++nested_;
      return;
    }
    row_ = IntProp(props, "librevenge:row", row_);
    rowRepeat_ = std::clamp(IntProp(props, "table:number-rows-repeated", 1), 1, kMaxRepeat);
    column_ = 0;
    inRow_ = true;
  }
  void closeSheetRow() override {
    if (nested_ > 0) {
      --nested_;
      return;
    }
    inRow_ = false;
    row_ += rowRepeat_;
  }
  void openSheetCell(const RVNGPropertyList& props) override {
    if (nested_ > 0 || !inRow_ || inCell_) {
      ++nested_;
      return;
    }
    column_ = IntProp(props, "librevenge:column", column_);
    columnRepeat_ = std::clamp(IntProp(props, "table:number-columns-repeated", 1), 1, kMaxRepeat);
    cellValue_ = ValueText(props);
    cellText_.clear();
    inCell_ = true;
  }
  void closeSheetCell() override {
    if (nested_ > 0) {
      --nested_;
      return;
    }
    inCell_ = false;
    // libwps gives a text cell's words as text and most number cells as a value alone.
    std::string text = cellText_.empty() ? cellValue_ : base::DecodeLegacyText(cellText_);
    if (!text.empty() && row_ >= 0 && column_ >= 0) {
      for (int r = 0; r < rowRepeat_; ++r)
        for (int c = 0; c < columnRepeat_; ++c)
          sheets.back().Set(static_cast<std::size_t>(row_ + r),
                            static_cast<std::size_t>(column_ + c), text);
    }
    column_ += columnRepeat_;
  }

  void insertText(const librevenge::RVNGString& text) override {
    if (InCellText()) cellText_ += text.cstr();
  }
  void insertTab() override {
    if (InCellText()) cellText_ += '\t';
  }
  void insertSpace() override {
    if (InCellText()) cellText_ += ' ';
  }
  void insertLineBreak() override {
    if (InCellText()) cellText_ += '\n';
  }
  void closeParagraph() override {
    if (InCellText()) paragraphEnded_ = true;
  }
  void openParagraph(const RVNGPropertyList&) override {
    if (InCellText() && paragraphEnded_ && !cellText_.empty()) cellText_ += '\n';
    paragraphEnded_ = false;
  }

  // Parts whose text does not belong to any cell.
  void openHeader(const RVNGPropertyList&) override { ++nested_; }
  void closeHeader() override { Leave(); }
  void openFooter(const RVNGPropertyList&) override { ++nested_; }
  void closeFooter() override { Leave(); }
  void openChart(const RVNGPropertyList&) override { ++nested_; }
  void closeChart() override { Leave(); }
  void openFootnote(const RVNGPropertyList&) override { ++nested_; }
  void closeFootnote() override { Leave(); }
  void openComment(const RVNGPropertyList&) override { ++nested_; }
  void closeComment() override { Leave(); }
  void openTextBox(const RVNGPropertyList&) override { ++nested_; }
  void closeTextBox() override { Leave(); }
  void openFrame(const RVNGPropertyList&) override { ++nested_; }
  void closeFrame() override { Leave(); }
  void openTable(const RVNGPropertyList&) override { ++nested_; }
  void closeTable() override { Leave(); }

  // Everything else carries layout only.
  void setDocumentMetaData(const RVNGPropertyList&) override {}
  void startDocument(const RVNGPropertyList&) override {}
  void endDocument() override {}
  void definePageStyle(const RVNGPropertyList&) override {}
  void defineEmbeddedFont(const RVNGPropertyList&) override {}
  void openPageSpan(const RVNGPropertyList&) override {}
  void closePageSpan() override {}
  void defineSheetNumberingStyle(const RVNGPropertyList&) override {}
  void defineChartStyle(const RVNGPropertyList&) override {}
  void openChartTextObject(const RVNGPropertyList&) override {}
  void closeChartTextObject() override {}
  void openChartPlotArea(const RVNGPropertyList&) override {}
  void closeChartPlotArea() override {}
  void insertChartAxis(const RVNGPropertyList&) override {}
  void openChartSerie(const RVNGPropertyList&) override {}
  void closeChartSerie() override {}
  void defineParagraphStyle(const RVNGPropertyList&) override {}
  void defineCharacterStyle(const RVNGPropertyList&) override {}
  void openSpan(const RVNGPropertyList&) override {}
  void closeSpan() override {}
  void openLink(const RVNGPropertyList&) override {}
  void closeLink() override {}
  void defineSectionStyle(const RVNGPropertyList&) override {}
  void openSection(const RVNGPropertyList&) override {}
  void closeSection() override {}
  void insertField(const RVNGPropertyList&) override {}
  void openOrderedListLevel(const RVNGPropertyList&) override {}
  void openUnorderedListLevel(const RVNGPropertyList&) override {}
  void closeOrderedListLevel() override {}
  void closeUnorderedListLevel() override {}
  void openListElement(const RVNGPropertyList&) override {}
  void closeListElement() override {}
  void insertBinaryObject(const RVNGPropertyList&) override {}
  void openTableRow(const RVNGPropertyList&) override {}
  void closeTableRow() override {}
  void openTableCell(const RVNGPropertyList&) override {}
  void closeTableCell() override {}
  void insertCoveredTableCell(const RVNGPropertyList&) override {}
  void openGroup(const RVNGPropertyList&) override {}
  void closeGroup() override {}
  void defineGraphicStyle(const RVNGPropertyList&) override {}
  void drawRectangle(const RVNGPropertyList&) override {}
  void drawEllipse(const RVNGPropertyList&) override {}
  void drawPolygon(const RVNGPropertyList&) override {}
  void drawPolyline(const RVNGPropertyList&) override {}
  void drawPath(const RVNGPropertyList&) override {}
  void drawConnector(const RVNGPropertyList&) override {}
  void insertEquation(const RVNGPropertyList&) override {}

 private:
  bool InCellText() const { return nested_ == 0 && inCell_; }
  void Leave() {
    if (nested_ > 0) --nested_;
  }

  int nested_ = 0;
  bool inSheet_ = false;
  bool inRow_ = false;
  bool inCell_ = false;
  bool paragraphEnded_ = false;
  int row_ = 0;
  int rowRepeat_ = 1;
  int column_ = 0;
  int columnRepeat_ = 1;
  std::string cellText_;
  std::string cellValue_;
};

}  // namespace

bool LotusRecordsReachEof(std::string_view bytes) {
  std::size_t pos = 0;
  while (pos + 4 <= bytes.size()) {
    const auto u16 = [&](std::size_t at) {
      return static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
    };
    const std::size_t type = u16(pos);
    const std::size_t length = u16(pos + 2);
    if (pos + 4 + length > bytes.size()) return false;
    if (type == 0x0001) return true;
    pos += 4 + length;
  }
  return false;
}

std::optional<std::vector<SheetGrid>> ReadLotusWorkbook(std::string_view path,
                                                        LegacySheetOrigin origin) {
  const std::string p(path);
  // Files made of records (all but the OLE2-packed releases) begin with a BOF record; a file
  // whose records stop before their EOF was cut short, and libwps would show whatever cells
  // came before the cut.
  if (ReadFileHead(p, 2) == std::string_view("\0\0", 2)) {
    const std::optional<std::string> bytes = base::ReadFileBytes(p);
    if (!bytes || !LotusRecordsReachEof(*bytes)) return std::nullopt;
  }
  librevenge::RVNGFileStream input(p.c_str());
  libwps::WPSKind kind = libwps::WPS_SPREADSHEET;
  libwps::WPSCreator creator = libwps::WPS_LOTUS;
  bool needEncoding = false;
  try {
    if (libwps::WPSDocument::isFileFormatSupported(&input, kind, creator, needEncoding) !=
            libwps::WPS_CONFIDENCE_EXCELLENT ||
        kind != libwps::WPS_SPREADSHEET)
      return std::nullopt;
    const char* encoding = "";
    if (needEncoding) encoding = origin == LegacySheetOrigin::Dos ? "CP866" : "CP1251";
    SheetCollector collector;
    if (libwps::WPSDocument::parse(&input, &collector, "", encoding) != libwps::WPS_OK)
      return std::nullopt;
    return std::move(collector.sheets);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace zyl::extract
