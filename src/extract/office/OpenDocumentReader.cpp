#include "extract/office/OpenDocumentReader.h"

#include <array>
#include <charconv>
#include <string>

#include "extract/TextLimit.h"
#include "extract/container/DocumentText.h"
#include "extract/container/PackagePart.h"
#include "extract/container/XmlText.h"
#include "extract/container/ZipPackage.h"
#include "extract/office/WorkbookText.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view kTableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kDrawNs = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
constexpr std::string_view kPresentationNs =
    "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0";
constexpr std::string_view kMetaNs = "urn:oasis:names:tc:opendocument:xmlns:meta:1.0";
constexpr std::string_view kManifestNs = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
constexpr std::string_view kDublinCoreNs = "http://purl.org/dc/elements/1.1/";

// A run of spaces (<text:s text:c>) or a repeat of cells or rows: writers use large repeats for
// the empty rest of a sheet, so a repeat only spreads text that far.
constexpr std::uint64_t kMaxSpaces = 1000;
constexpr std::uint64_t kMaxFilledRepeat = 1000;
// Positions past these are beyond any sheet a program makes.
constexpr std::uint64_t kMaxRow = 1ULL << 32;
constexpr std::uint64_t kMaxColumn = 1ULL << 24;

enum class Body { None, Text, Spreadsheet, Presentation, Other };

std::uint64_t CountAttribute(std::span<const XmlAttribute> attributes, std::string_view uri,
                             std::string_view local) {
  const auto text = FindAttribute(attributes, uri, local);
  std::uint64_t n = 1;
  if (!text) return 1;
  const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
  if (ec == std::errc::result_out_of_range) return UINT64_MAX;
  return ec != std::errc() || n == 0 ? 1 : n;
}

// The paragraphs of content.xml, whatever the body: each text:p and text:h gives its text with
// its spaces, TABs and line breaks into `sink`, and the line ends when it ends. White space
// written in the XML itself is collapsed, as the format asks; text:s gives the kept blanks.
class ParagraphText {
 public:
  // Returns true when the element was a paragraph-level one it handled.
  bool Start(const XmlName& name, std::span<const XmlAttribute> attributes, std::string& sink) {
    if (name.uri != kTextNs) return false;
    if (name.local == "p" || name.local == "h") {
      ++depth_;
      blank_ = true;  // leading white space of a paragraph is dropped
      pending_ = false;
      return true;
    }
    if (depth_ == 0) return false;
    if (name.local == "s") {
      FlushBlank(sink);
      sink.append(std::min(CountAttribute(attributes, kTextNs, "c"), kMaxSpaces), ' ');
      blank_ = false;
    } else if (name.local == "tab") {
      FlushBlank(sink);
      sink += '\t';
      blank_ = false;
    } else if (name.local == "line-break") {
      pending_ = false;
      sink += "\r\n";
      blank_ = true;
    }
    return true;
  }
  // Returns true when a paragraph ended.
  bool End(const XmlName& name) {
    if (name.uri != kTextNs || (name.local != "p" && name.local != "h") || depth_ == 0)
      return false;
    --depth_;
    pending_ = false;  // trailing white space is dropped too
    return true;
  }
  void Text(std::string_view text, std::string& sink) {
    if (depth_ == 0) return;
    for (const char c : text) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        if (!blank_) pending_ = true;
        blank_ = true;
      } else {
        FlushBlank(sink);
        sink += c;
        blank_ = false;
      }
    }
  }

 private:
  // A run of white space becomes one blank once something follows it in the paragraph.
  void FlushBlank(std::string& sink) {
    if (pending_) sink += ' ';
    pending_ = false;
  }

  int depth_ = 0;
  bool blank_ = true;
  bool pending_ = false;
};

class ContentText : public XmlHandler {
 public:
  ContentText(DocumentText& text, WorkbookText& cells) : text_(text), cells_(cells) {}

  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (skip_ > 0 || IsLeftOut(name)) {
      ++skip_;
      return;
    }
    if (name.uri == kOfficeNs && body == Body::None && inBody_) {
      body = name.local == "text"           ? Body::Text
             : name.local == "spreadsheet"  ? Body::Spreadsheet
             : name.local == "presentation" ? Body::Presentation
                                            : Body::Other;
    }
    if (name.Is(kOfficeNs, "body")) inBody_ = true;
    if (!inBody_) return;
    if (body == Body::Spreadsheet && StartTable(name, attributes)) return;
    paragraphs_.Start(name, attributes, line_);
  }

  void EndElement(const XmlName& name) override {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (name.Is(kOfficeNs, "body")) inBody_ = false;
    if (paragraphs_.End(name)) {
      if (cellDepth_ > 0) {
        // A cell's paragraphs are lines of the cell's text.
        if (!cellText_.empty() || cellParagraphs_ > 0) cellText_ += '\n';
        cellText_ += line_;
        ++cellParagraphs_;
        line_.clear();
      } else if (body != Body::Spreadsheet) {
        Flush();
        text_.EndLine();
      } else {
        line_.clear();
      }
      return;
    }
    if (body == Body::Spreadsheet) EndTable(name);
  }

  void Text(std::string_view text) override {
    if (skip_ > 0) return;
    paragraphs_.Text(text, line_);
    // A paragraph of a huge text keeps memory in bound: it goes out as it grows.
    if (line_.size() > 64 * 1024 && cellDepth_ == 0 && body != Body::Spreadsheet) Flush();
  }

  // After the reading ended, maybe early: the paragraph being read goes out too (it does not
  // fit when the reading stopped for it, which marks the text cut).
  void Finish() {
    if (line_.empty()) return;
    if (body == Body::Spreadsheet)
      cells_.Add(row_, column_, std::move(line_));
    else
      Flush();
    line_.clear();
  }

  // Enough text, or a single paragraph (a sheet cell's) longer than all the text allowed.
  bool enough() const { return text_.cut() || cells_.full() || line_.size() > text_.room(); }
  Body body = Body::None;

 private:
  // Annotations (comments, with their author and date), the old text of tracked changes,
  // the note marks' numbers and a presentation's speaker notes are not the document's text.
  static bool IsLeftOut(const XmlName& name) {
    return name.Is(kOfficeNs, "annotation") || name.Is(kTextNs, "tracked-changes") ||
           name.Is(kTextNs, "note-citation") || name.Is(kPresentationNs, "notes");
  }

  void Flush() {
    text_.Append(line_);
    line_.clear();
  }

  // The rows and cells of the sheets; true when the element was one of them.
  bool StartTable(const XmlName& name, std::span<const XmlAttribute> attributes) {
    if (name.uri != kTableNs) return false;
    if (name.local == "table") {
      // A table inside a cell's drawing is no sheet of its own.
      if (++tableDepth_ == 1) row_ = 0;
      return true;
    }
    if (tableDepth_ != 1) return false;
    if (name.local == "table-row") {
      rowRepeat_ = CountAttribute(attributes, kTableNs, "number-rows-repeated");
      column_ = 0;
      return true;
    }
    if (name.local == "table-cell" || name.local == "covered-table-cell") {
      ++cellDepth_;
      cellRepeat_ = CountAttribute(attributes, kTableNs, "number-columns-repeated");
      cellText_.clear();
      cellParagraphs_ = 0;
      // A cell without paragraphs may still hold a value (a spreadsheet writes both).
      cellValue_.clear();
      for (const char* value : {"string-value", "value", "date-value", "time-value"})
        if (auto v = FindAttribute(attributes, kOfficeNs, value); v && cellValue_.empty())
          cellValue_ = std::string(*v);
      if (cellValue_.empty())
        if (auto v = FindAttribute(attributes, kOfficeNs, "boolean-value"))
          cellValue_ = *v == "true" ? "TRUE" : "FALSE";
      return true;
    }
    return false;
  }

  void EndTable(const XmlName& name) {
    if (name.uri != kTableNs) return;
    if (name.local == "table") {
      if (tableDepth_ > 0 && --tableDepth_ == 0) cells_.EndSheet();
      return;
    }
    if (tableDepth_ != 1) return;
    if (name.local == "table-cell" || name.local == "covered-table-cell") {
      if (cellDepth_ > 0) --cellDepth_;
      const std::string text = cellParagraphs_ > 0 ? cellText_ : cellValue_;
      const std::uint64_t repeat = std::min(cellRepeat_, kMaxFilledRepeat);
      bool room = !text.empty();
      for (std::uint64_t r = 0; room && r < rowRepeatForCells() && row_ + r < kMaxRow; ++r)
        for (std::uint64_t i = 0; room && i < repeat && column_ + i < kMaxColumn; ++i)
          room = cells_.Add(row_ + r, column_ + i, text);
      column_ = column_ > kMaxColumn ? column_ : column_ + std::min(cellRepeat_, kMaxColumn);
      return;
    }
    if (name.local == "table-row") {
      row_ = row_ > kMaxRow ? row_ : row_ + std::min(rowRepeat_, kMaxRow);
    }
  }

  // A repeated row repeats its cells; only rows with text are spread, and not far.
  std::uint64_t rowRepeatForCells() const { return std::min(rowRepeat_, kMaxFilledRepeat); }

  DocumentText& text_;
  WorkbookText& cells_;
  ParagraphText paragraphs_;
  std::string line_;
  int skip_ = 0;
  bool inBody_ = false;

  int tableDepth_ = 0;
  int cellDepth_ = 0;
  std::uint64_t row_ = 0;
  std::uint64_t rowRepeat_ = 1;
  std::uint64_t column_ = 0;
  std::uint64_t cellRepeat_ = 1;
  std::string cellText_;
  std::string cellValue_;
  int cellParagraphs_ = 0;
};

// True when the manifest describes encrypted entries.
class ManifestEncryption : public XmlHandler {
 public:
  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    if (name.Is(kManifestNs, "encryption-data")) encrypted = true;
  }
  bool encrypted = false;
};

}  // namespace

FileInfo GetOpenDocumentInfo(std::string_view path) {
  try {
    ZipPackage zip = ZipPackage::OpenFile(path, DocumentZipLimits());
    if (!zip.ok()) return ErrorInfo();

    ManifestEncryption manifest;
    const PartStatus manifestStatus = ParsePart(zip, "META-INF/manifest.xml", manifest);
    if (manifest.encrypted || manifestStatus.passwordRequired()) return ErrorInfo(true);

    DocumentText text;
    WorkbookText cells;
    ContentText content(text, cells);
    const PartStatus status =
        ParsePart(zip, "content.xml", content, [&content] { return content.enough(); });
    if (!status.ok()) return ErrorInfo(status.passwordRequired());
    content.Finish();

    FileInfo info;
    switch (content.body) {
      case Body::Spreadsheet:
        info.type = "ods";
        info.content = cells.Take();
        info.textCut = CutText(info.content, MaxTextBytes()) || cells.cut();
        break;
      case Body::Presentation:
        info.type = "odp";
        break;
      case Body::Text:
        info.type = "odt";
        break;
      case Body::None:
      case Body::Other:
        return ErrorInfo();
    }
    if (info.type != "ods") {
      info.textCut = text.cut();
      info.content = text.Take();
    }

    static constexpr std::array<XmlName, 3> kMeta{
        {{kDublinCoreNs, "title"}, {kMetaNs, "initial-creator"}, {kDublinCoreNs, "creator"}}};
    auto texts = FirstElementTexts(zip, "meta.xml", kMeta);
    info.title = std::move(texts[0]);
    // The one who first wrote the document; dc:creator is the one who saved it last.
    info.author = std::move(texts[1].empty() ? texts[2] : texts[1]);
    return info;
  } catch (...) {
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
