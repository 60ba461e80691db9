#include "extract/office/OoxmlReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "extract/TextLimit.h"
#include "extract/container/DocumentText.h"
#include "extract/container/PackagePart.h"
#include "extract/container/XmlText.h"
#include "extract/container/ZipPackage.h"
#include "extract/office/OoxmlPackage.h"
#include "extract/office/WorkbookText.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kMarkupCompatibilityNs =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr std::string_view kDublinCoreNs = "http://purl.org/dc/elements/1.1/";

enum class Kind { Unknown, Word, Workbook, Presentation };

// Content a reader leaves out: alternate content is written twice (a modern form and a
// fallback for older programs), and the fallback copy would double every text box.
bool IsFallback(const XmlName& name) {
  return name.Is(kMarkupCompatibilityNs, "Fallback");
}

// Counts the depth of an element whose content is left out; 0 when not inside one.
class SkipDepth {
 public:
  bool Start(bool begins) {
    if (depth_ > 0 || begins) {
      ++depth_;
      return true;
    }
    return false;
  }
  bool End() {
    if (depth_ == 0) return false;
    --depth_;
    return true;
  }

 private:
  int depth_ = 0;
};

// Paragraphs of a word-processing part, one line each; TABs and breaks as written.
class WordText : public XmlHandler {
 public:
  explicit WordText(DocumentText& out) : out_(out) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    const bool word = IsOoxmlMain(name.uri, "wordprocessingml");
    // Paragraph and run properties hold tab stop definitions (w:tab too), never text.
    if (skip_.Start(IsFallback(name) || (word && (name.local == "pPr" || name.local == "rPr"))))
      return;
    if (!word) return;
    if (name.local == "t") {
      inText_ = true;
    } else if (name.local == "tab" || name.local == "ptab") {
      out_.Append("\t");
    } else if (name.local == "br" || name.local == "cr") {
      out_.EndLine();
    } else if (name.local == "noBreakHyphen") {
      out_.Append("-");
    }
  }
  void EndElement(const XmlName& name) override {
    if (skip_.End()) return;
    if (!IsOoxmlMain(name.uri, "wordprocessingml")) return;
    if (name.local == "t") inText_ = false;
    if (name.local == "p") out_.EndLine();
  }
  void Text(std::string_view text) override {
    if (inText_) out_.Append(text);
  }

 private:
  DocumentText& out_;
  SkipDepth skip_;
  bool inText_ = false;
};

// Paragraphs of a slide (DrawingML text bodies of its shapes and tables), one line each.
class SlideText : public XmlHandler {
 public:
  explicit SlideText(DocumentText& out) : out_(out) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    if (skip_.Start(IsFallback(name))) return;
    if (!IsOoxmlMain(name.uri, "drawingml")) return;
    if (name.local == "t") inText_ = true;
    if (name.local == "br") out_.EndLine();
  }
  void EndElement(const XmlName& name) override {
    if (skip_.End()) return;
    if (!IsOoxmlMain(name.uri, "drawingml")) return;
    if (name.local == "t") inText_ = false;
    if (name.local == "p") out_.EndLine();
  }
  void Text(std::string_view text) override {
    if (inText_) out_.Append(text);
  }

 private:
  DocumentText& out_;
  SkipDepth skip_;
  bool inText_ = false;
};

// The relationship ids of the items of a list part, in order: the sheets of a workbook
// (<sheet r:id>), the slides of a presentation (<p:sldId r:id>).
class IdList : public XmlHandler {
 public:
  IdList(std::string_view language, std::string_view element)
      : language_(language), element_(element) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (name.local != element_ || !IsOoxmlMain(name.uri, language_)) return;
    for (const auto& a : attributes)
      if (a.name.local == "id" && IsOoxmlRelationshipsNs(a.name.uri)) ids.emplace_back(a.value);
  }
  std::vector<std::string> ids;

 private:
  std::string_view language_;
  std::string_view element_;
};

// The text of a string item (<si>, <is>): its plain text or its runs' texts, phonetic
// readings (<rPh>) left out.
class StringItem {
 public:
  void Start(const XmlName& name) {
    if (name.local == "rPh") ++phonetic_;
    if (name.local == "t" && phonetic_ == 0) inText_ = true;
  }
  void End(const XmlName& name) {
    if (name.local == "rPh" && phonetic_ > 0) --phonetic_;
    if (name.local == "t") inText_ = false;
  }
  void Text(std::string_view text, std::string& into) const {
    if (inText_) into += text;
  }

 private:
  int phonetic_ = 0;
  bool inText_ = false;
};

// The workbook's string table in one buffer: a table of millions of tiny strings would cost
// tens of bytes each as separate strings. Past its bound the rest of the table is dropped and
// the workbook's text counts as cut.
class SharedStrings : public XmlHandler {
 public:
  explicit SharedStrings(std::uint64_t maxBytes) : maxBytes_(maxBytes) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    if (full_ || !IsOoxmlMain(name.uri, "spreadsheetml")) return;
    if (name.local == "si") {
      starts_.push_back(buffer_.size());
      inItem_ = true;
    } else if (inItem_) {
      item_.Start(name);
    }
  }
  void EndElement(const XmlName& name) override {
    if (!IsOoxmlMain(name.uri, "spreadsheetml")) return;
    if (name.local == "si")
      inItem_ = false;
    else if (inItem_)
      item_.End(name);
  }
  void Text(std::string_view text) override {
    if (!inItem_ || full_) return;
    item_.Text(text, buffer_);
    full_ = buffer_.size() + starts_.size() * sizeof(std::uint64_t) > maxBytes_;
  }
  // Empty for an index past the table.
  std::string_view At(std::size_t index) const {
    if (index >= starts_.size()) return {};
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : buffer_.size();
    return std::string_view(buffer_).substr(starts_[index], end - starts_[index]);
  }
  bool full() const { return full_; }

 private:
  std::uint64_t maxBytes_;
  std::string buffer_;
  std::vector<std::size_t> starts_;
  StringItem item_;
  bool inItem_ = false;
  bool full_ = false;
};

// "BC12" as 0-based (row 11, column 54); false when it is no cell reference.
bool ParseCellReference(std::string_view ref, std::uint64_t& row, std::uint64_t& column) {
  std::uint64_t col = 0;
  std::size_t i = 0;
  for (; i < ref.size() && i < 7; ++i) {
    char c = ref[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    col = col * 26 + static_cast<std::uint64_t>(c - 'A' + 1);
  }
  std::uint64_t r = 0;
  const auto digits = ref.substr(i);
  if (i == 0 || digits.empty() || digits.size() > 10) return false;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), r);
  if (ec != std::errc() || end != digits.data() + digits.size() || r == 0) return false;
  row = r - 1;
  column = col - 1;
  return true;
}

std::uint64_t ParseRowNumber(std::string_view text, std::uint64_t fallback) {
  std::uint64_t r = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), r);
  if (ec != std::errc() || end != text.data() + text.size() || r == 0 || r > (1ULL << 40))
    return fallback;
  return r - 1;
}

// The cells of one worksheet part into the workbook's text.
class SheetCells : public XmlHandler {
 public:
  SheetCells(const SharedStrings& shared, WorkbookText& out) : shared_(shared), out_(out) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (!IsOoxmlMain(name.uri, "spreadsheetml")) return;
    if (name.local == "row") {
      row_ = ParseRowNumber(FindAttribute(attributes, "", "r").value_or(""), row_ + 1);
      column_ = UINT64_MAX;  // the next cell without a reference is the row's first
    } else if (name.local == "c") {
      inCell_ = true;
      value_.clear();
      type_ = std::string(FindAttribute(attributes, "", "t").value_or("n"));
      std::uint64_t row = 0, column = 0;
      if (ParseCellReference(FindAttribute(attributes, "", "r").value_or(""), row, column)) {
        row_ = row;
        column_ = column;
      } else {
        ++column_;
      }
    } else if (inCell_ && name.local == "v") {
      inValue_ = true;
    } else if (inCell_ && name.local == "is") {
      inInline_ = true;
    } else if (inInline_) {
      item_.Start(name);
    }
  }
  void EndElement(const XmlName& name) override {
    if (!IsOoxmlMain(name.uri, "spreadsheetml")) return;
    if (name.local == "v") {
      inValue_ = false;
    } else if (name.local == "is") {
      inInline_ = false;
    } else if (inInline_) {
      item_.End(name);
    } else if (name.local == "c" && inCell_) {
      inCell_ = false;
      out_.Add(row_, column_, CellText());
    }
  }
  void Text(std::string_view text) override {
    if (inValue_) value_ += text;
    if (inInline_) item_.Text(text, value_);
  }

 private:
  std::string CellText() const {
    if (type_ == "s") {
      std::size_t index = 0;
      const auto [end, ec] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
      if (ec != std::errc()) return {};
      return std::string(shared_.At(index));
    }
    if (type_ == "b") return value_ == "1" ? "TRUE" : value_ == "0" ? "FALSE" : value_;
    // Numbers, formula strings, errors, dates and inline strings as the file stores them.
    return value_;
  }

  const SharedStrings& shared_;
  WorkbookText& out_;
  StringItem item_;
  std::uint64_t row_ = UINT64_MAX;  // before the first row: the next one is row 0
  std::uint64_t column_ = UINT64_MAX;
  std::string type_;
  std::string value_;
  bool inCell_ = false;
  bool inValue_ = false;
  bool inInline_ = false;
};

// How a document failed, for the result.
struct Failure {
  bool failed = false;
  bool passwordRequired = false;
  // Notes a part's status: a part that is there but cannot be read fails the document, a
  // missing one only when it is required. True while the document is still good.
  bool Note(const PartStatus& status, bool required) {
    if (status.ok() || (!required && status.zip == ZipError::NotFound)) return true;
    failed = true;
    passwordRequired = passwordRequired || status.passwordRequired();
    return false;
  }
};

// The targets of the ids, in the order of the ids, through the part's relationships; only
// relationships of the given kind count.
std::vector<std::string> TargetsInOrder(ZipPackage& zip, std::string_view part,
                                        const std::vector<std::string>& ids,
                                        std::string_view kind) {
  const auto relationships = ReadRelationships(zip, part);
  std::vector<std::string> targets;
  for (const auto& id : ids) {
    const OoxmlRelationship* r = FindRelationshipById(relationships, id);
    if (r != nullptr && !r->external && r->type.ends_with("/" + std::string(kind)))
      targets.push_back(r->target);
  }
  return targets;
}

void ReadWord(ZipPackage& zip, const std::string& main, DocumentText& text, Failure& failure) {
  const auto enough = [&text] { return text.cut(); };
  WordText body(text);
  if (!failure.Note(ParsePart(zip, main, body, enough), true)) return;
  // Footnotes and endnotes follow the body: searchable text, though not in reading order.
  const auto relationships = ReadRelationships(zip, main);
  for (const std::string_view kind : {"footnotes", "endnotes"}) {
    const OoxmlRelationship* r = FindRelationship(relationships, kind);
    if (r == nullptr || text.cut()) continue;
    WordText notes(text);
    if (!failure.Note(ParsePart(zip, r->target, notes, enough), false)) return;
  }
}

void ReadWorkbook(ZipPackage& zip, const std::string& main, WorkbookText& cells, Failure& failure,
                  bool& stringsCut) {
  IdList sheets("spreadsheetml", "sheet");
  if (!failure.Note(ParsePart(zip, main, sheets), true)) return;
  // The table may hold more than the text the cells use, though not much more in practice.
  SharedStrings shared(std::max<std::uint64_t>(8ULL << 20, 4 * MaxTextBytes()));
  const auto relationships = ReadRelationships(zip, main);
  if (const OoxmlRelationship* r = FindRelationship(relationships, "sharedStrings"))
    if (!failure.Note(ParsePart(zip, r->target, shared, [&shared] { return shared.full(); }),
                      false))
      return;
  stringsCut = shared.full();
  for (const auto& part : TargetsInOrder(zip, main, sheets.ids, "worksheet")) {
    SheetCells sheet(shared, cells);
    if (!failure.Note(ParsePart(zip, part, sheet, [&cells] { return cells.full(); }), false))
      return;
    cells.EndSheet();
    if (cells.full()) break;
  }
}

void ReadPresentation(ZipPackage& zip, const std::string& main, DocumentText& text,
                      Failure& failure) {
  IdList slides("presentationml", "sldId");
  if (!failure.Note(ParsePart(zip, main, slides), true)) return;
  for (const auto& part : TargetsInOrder(zip, main, slides.ids, "slide")) {
    SlideText slide(text);
    if (!failure.Note(ParsePart(zip, part, slide, [&text] { return text.cut(); }), false)) return;
    if (text.cut()) break;
  }
}

Kind KindOf(ZipPackage& zip, std::string_view main) {
  const std::string type = ContentTypeOf(zip, main);
  const auto has = [&type](std::string_view s) { return type.find(s) != std::string::npos; };
  if (has("wordprocessingml") || has("ms-word")) return Kind::Word;
  if (has("spreadsheetml") || has("ms-excel")) return Kind::Workbook;
  if (has("presentationml") || has("ms-powerpoint")) return Kind::Presentation;
  // A package without content types: its usual folders tell.
  if (main.starts_with("word/")) return Kind::Word;
  if (main.starts_with("xl/")) return Kind::Workbook;
  if (main.starts_with("ppt/")) return Kind::Presentation;
  return Kind::Unknown;
}

}  // namespace

FileInfo GetOoxmlInfo(std::string_view path) {
  try {
    if (IsEncryptedOoxml(path)) return ErrorInfo(true);
    ZipPackage zip = ZipPackage::OpenFile(path, DocumentZipLimits());
    if (!zip.ok()) return ErrorInfo();

    const auto relationships = ReadRelationships(zip, "");
    std::string main;
    if (const OoxmlRelationship* r = FindRelationship(relationships, "officeDocument"))
      main = r->target;
    for (const char* usual : {"word/document.xml", "xl/workbook.xml", "ppt/presentation.xml"})
      if (main.empty()) main = zip.FindMember(usual);
    if (main.empty()) return ErrorInfo();

    FileInfo info;
    Failure failure;
    switch (KindOf(zip, main)) {
      case Kind::Word: {
        DocumentText text;
        ReadWord(zip, main, text, failure);
        info.type = "docx";
        info.textCut = text.cut();
        info.content = text.Take();
        break;
      }
      case Kind::Workbook: {
        WorkbookText cells;
        bool stringsCut = false;
        ReadWorkbook(zip, main, cells, failure, stringsCut);
        info.type = "xlsx";
        info.content = cells.Take();
        info.textCut = CutText(info.content, MaxTextBytes()) || cells.cut() || stringsCut;
        break;
      }
      case Kind::Presentation: {
        DocumentText text;
        ReadPresentation(zip, main, text, failure);
        info.type = "pptx";
        info.textCut = text.cut();
        info.content = text.Take();
        break;
      }
      case Kind::Unknown:
        return ErrorInfo();
    }
    if (failure.failed) return ErrorInfo(failure.passwordRequired);

    std::string core = zip.FindMember("docProps/core.xml");
    if (const OoxmlRelationship* r = FindRelationship(relationships, "core-properties"))
      core = r->target;
    static constexpr std::array<XmlName, 2> kCore{
        {{kDublinCoreNs, "title"}, {kDublinCoreNs, "creator"}}};
    auto texts = FirstElementTexts(zip, core, kCore);
    info.title = std::move(texts[0]);
    info.author = std::move(texts[1]);
    return info;
  } catch (...) {
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
