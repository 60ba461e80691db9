#include "extract/office/WordReader.h"

#include <wv.h>

#include <mutex>
#include <vector>

#include "base/Utf8.h"
#include "extract/office/OleProperties.h"

namespace zyl::extract {

namespace {

// wv keeps global state (its initialisation, code page converters), so documents are read
// one at a time.
std::mutex& WvMutex() {
  static std::mutex m;
  return m;
}

void EnsureWvReady() {
  static std::once_flag once;
  std::call_once(once, [] {
    EnsureGsfReady();
    wvInit();
  });
}

// Collects the main text from wv's character callbacks.
struct TextCollector {
  std::string text;
  std::uint32_t mainTextEnd = 0;  // characters of the main story; the rest is notes, headers...
  // One entry per open field: true while its instruction part (before the separator) runs.
  std::vector<bool> fields;
  char16_t highSurrogate = 0;
  // Set while the paragraph that ends a table row runs: its end mark closes the row.
  bool rowEndParagraph = false;
  // The file information block's language and version, for eight-bit text.
  std::uint16_t documentLid = 0;
  std::uint16_t nFib = 0;

  bool InFieldInstruction() const {
    for (bool instruction : fields)
      if (instruction) return true;
    return false;
  }

  // Field marks: 0x13 opens a field, whose instruction ("HYPERLINK ...", "PAGE") runs to the
  // separator 0x14; the result shown in the document runs from there to the end mark 0x15.
  bool HandleFieldMark(std::uint16_t ch) {
    switch (ch) {
      case 0x13:
        if (fields.size() < 64) fields.push_back(true);
        return true;
      case 0x14:
        if (!fields.empty()) fields.back() = false;
        return true;
      case 0x15:
        if (!fields.empty()) fields.pop_back();
        return true;
      default:
        return false;
    }
  }

  void Add(std::uint16_t ch) {
    switch (ch) {
      case 13:  // end of paragraph
      case 11:  // manual line break
      case 12:  // page or section break
      case 14:  // column break
        text += "\r\n";
        return;
      case 7:  // end of a table cell, or of a row in the row's closing paragraph
        text += rowEndParagraph ? "\r\n" : "\t";
        return;
      case 9:
        text += '\t';
        return;
      case 30:  // non-breaking hyphen
        text += '-';
        return;
      case 31:  // optional hyphen, shown only at a line end
        return;
      default:
        break;
    }
    if (ch < 32) return;  // anchors of pictures, notes and other objects
    if (ch >= 0xD800 && ch <= 0xDBFF) {
      highSurrogate = ch;
      return;
    }
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
      if (highSurrogate != 0)
        base::AppendUtf8(
            text, 0x10000 + ((char32_t(highSurrogate) - 0xD800) << 10) + (char32_t(ch) - 0xDC00));
      highSurrogate = 0;
      return;
    }
    highSurrogate = 0;
    base::AppendUtf8(text, ch);
  }
};

TextCollector* Collector(wvParseStruct* ps) {
  return static_cast<TextCollector*>(ps->userData);
}

int CharProc(wvParseStruct* ps, U16 eachchar, U8 chartype, U16 lid) {
  TextCollector* c = Collector(ps);
  if (ps->currentcp >= c->mainTextEnd) return 0;
  // Eight-bit characters are in the code page of the text's language; wv maps them.
  if (chartype)
    eachchar = wvHandleCodePage(eachchar, EightBitTextLanguage(c->nFib, c->documentLid, lid));
  if (c->HandleFieldMark(eachchar)) return 0;
  if (c->InFieldInstruction()) return 0;
  c->Add(eachchar);
  return 0;
}

int SpecialCharProc(wvParseStruct* ps, U16 eachchar, CHP*) {
  TextCollector* c = Collector(ps);
  if (ps->currentcp >= c->mainTextEnd) return 0;
  c->HandleFieldMark(eachchar);
  return 0;
}

int ElementProc(wvParseStruct* ps, wvTag tag, void* props, int) {
  if (tag == PARABEGIN && props)
    Collector(ps)->rowEndParagraph = static_cast<const PAP*>(props)->fTtp != 0;
  return 0;
}
int DocumentProc(wvParseStruct*, wvTag) {
  return 0;
}

// Owns a parse structure from a successful wvInitParser until wvOLEFree.
class Parse {
 public:
  Parse() { ps_ = wvParseStruct{}; }
  ~Parse() {
    if (open_) wvOLEFree(&ps_);
  }
  Parse(const Parse&) = delete;
  Parse& operator=(const Parse&) = delete;

  int Open(std::string& path) {
    const int ret = wvInitParser(&ps_, path.data());
    // wvInitParser leaves streams open on most failures too; wvOLEFree releases them.
    open_ = true;
    return ret;
  }
  wvParseStruct* get() { return &ps_; }

 private:
  wvParseStruct ps_;
  bool open_ = false;
};

}  // namespace

std::uint16_t EightBitTextLanguage(std::uint16_t nFib, std::uint16_t documentLid,
                                   std::uint16_t runLid) {
  // Word 97 and later store eight-bit text in Windows-1252 and everything else as UTF-16, so
  // the run's language tells how wv maps it. Word 6 and 95 stored all text in the ANSI code page
  // of the system they ran on, whatever language the runs were marked with: a Russian Word
  // marks its documents Russian, and their text is Windows-1251 even in runs marked English.
  constexpr std::uint16_t kFirstWord97Fib = 193;
  if (nFib >= kFirstWord97Fib || documentLid == 0) return runLid;
  const char* documentPage = wvLIDToCodePageConverter(documentLid);
  const char* runPage = wvLIDToCodePageConverter(runLid);
  if (!documentPage || std::string_view(documentPage) == "CP1252") return runLid;
  if (runPage && std::string_view(runPage) != "CP1252") return runLid;
  return documentLid;
}

std::optional<WordDocument> ReadWordDocument(std::string_view path) {
  // An encrypted document's SummaryInformation may be readable while its text is not, so the
  // properties are read only for documents whose text was read.
  std::string p(path);
  WordDocument doc;
  {
    std::lock_guard<std::mutex> lock(WvMutex());
    EnsureWvReady();
    // wv reports a file that is not an OLE2 container after poking at it; checking first is
    // cheaper and keeps it from reading arbitrary files.
    if (!ReadOleStream(p, "WordDocument", 0)) return std::nullopt;
    Parse parse;
    const int ret = parse.Open(p);
    // Bit 15 marks an encrypted document; any other non-zero value is a failure.
    if (ret & 0x8000) {
      doc.encrypted = true;
      return doc;
    }
    if (ret != 0) return std::nullopt;
    wvParseStruct* ps = parse.get();
    if (ps->fib.fEncrypted) {
      doc.encrypted = true;
      return doc;
    }
    TextCollector collector;
    collector.mainTextEnd = ps->fib.ccpText;
    collector.nFib = ps->fib.nFib;
    // A document written on a Macintosh (character set 256) keeps its runs' own mapping.
    collector.documentLid = ps->fib.chse == 0 ? ps->fib.lid : 0;
    ps->userData = &collector;
    wvSetCharHandler(ps, CharProc);
    wvSetSpecialCharHandler(ps, SpecialCharProc);
    wvSetElementHandler(ps, ElementProc);
    wvSetDocumentHandler(ps, DocumentProc);
    wvText(ps);
    doc.text = std::move(collector.text);
  }
  if (std::optional<OleSummary> summary = ReadOleSummary(p)) {
    doc.author = std::move(summary->author);
    doc.title = std::move(summary->title);
  }
  return doc;
}

}  // namespace zyl::extract
