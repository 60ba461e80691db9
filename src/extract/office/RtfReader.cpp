#include "extract/office/RtfReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "base/Utf8.h"
#include "extract/core/OfficeText.h"

namespace zyl::extract {

namespace {

// Real documents nest a few dozen groups at most; anything far deeper is damaged or hostile
// and is refused rather than followed.
constexpr std::size_t kMaxDepth = 512;
// When a document names no code page, its \'hh bytes are in the ANSI code page of the
// machine that wrote it, which for this program's documents is Windows-1251.
constexpr int kSystemAnsiCodePage = 1251;

// Upr: a group holding two versions of the same text, {\upr{ANSI}{\*\ud{Unicode}}}, as word
// processors write document properties and text that the ANSI code page cannot hold.
enum class Dest { Main, Skip, FontTable, FontEntry, Info, Title, Author, Upr };

struct Group {
  Dest dest = Dest::Main;
  // In a \upr group and its children: the destination that the Unicode version is read into.
  Dest uprTarget = Dest::Main;
  bool uprChild = false;  // a direct child of a \upr group
  int unicodeSkip = 1;    // \ucN: fallback characters that follow each \uN
  int font = -1;          // current \fN, -1 for the document's default font
};

// Windows code page of an RTF \fcharset value; 0 for "use the document's code page".
int CharsetCodePage(int charset) {
  switch (charset) {
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 255:
      return 437;
    default:
      return 0;
  }
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Destinations whose text is not part of the document's main text.
bool IsSkippedDestination(std::string_view word) {
  static constexpr std::array<std::string_view, 45> kSkipped = {"colortbl",
                                                                "stylesheet",
                                                                "pict",
                                                                "object",
                                                                "objdata",
                                                                "objclass",
                                                                "header",
                                                                "headerl",
                                                                "headerr",
                                                                "headerf",
                                                                "footer",
                                                                "footerl",
                                                                "footerr",
                                                                "footerf",
                                                                "footnote",
                                                                "annotation",
                                                                "atnid",
                                                                "atnauthor",
                                                                "fldinst",
                                                                "themedata",
                                                                "datastore",
                                                                "listtable",
                                                                "listoverridetable",
                                                                "rsidtbl",
                                                                "generator",
                                                                "xmlnstbl",
                                                                "pntext",
                                                                "listtext",
                                                                "pntxta",
                                                                "pntxtb",
                                                                "filetbl",
                                                                "revtbl",
                                                                "userprops",
                                                                "docvar",
                                                                "template",
                                                                "bkmkstart",
                                                                "bkmkend",
                                                                "txe",
                                                                "xe",
                                                                "tc",
                                                                "latentstyles",
                                                                "mmathPr",
                                                                "nonshppict",
                                                                "shpinst",
                                                                "private"};
  for (std::string_view s : kSkipped)
    if (s == word) return true;
  return false;
}

class Parser {
 public:
  explicit Parser(std::string_view in) : in_(in) {}

  std::optional<RtfDocument> Run() {
    std::size_t start = 0;
    if (in_.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
    while (start < in_.size() &&
           (in_[start] == ' ' || in_[start] == '\r' || in_[start] == '\n' || in_[start] == '\t'))
      ++start;
    if (in_.substr(start, 5) != "{\\rtf") return std::nullopt;
    pos_ = start;
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == '{') {
        ++pos_;
        if (!OpenGroup()) return std::nullopt;
      } else if (c == '}') {
        ++pos_;
        CloseGroup();
        if (stack_.empty()) {
          Flush();
          return std::move(doc_);
        }
      } else if (c == '\\') {
        ++pos_;
        ControlSequence();
      } else if (c == '\r' || c == '\n') {
        ++pos_;
      } else {
        ++pos_;
        destinationPending_ = false;
        if (skipFallback_ > 0) {
          --skipFallback_;
          continue;
        }
        if (c == '\t') {
          EmitText("\t");
        } else {
          EmitByte(static_cast<unsigned char>(c));
        }
      }
    }
    // The outermost group never closed: the file was cut short.
    return std::nullopt;
  }

 private:
  Group& top() { return stack_.back(); }

  bool OpenGroup() {
    Flush();
    skipFallback_ = 0;
    if (stack_.size() >= kMaxDepth) return false;
    Group g = stack_.empty() ? Group{} : stack_.back();
    if (g.dest == Dest::FontTable) g.dest = Dest::FontEntry;
    g.uprChild = g.dest == Dest::Upr;
    // Of the two versions only the Unicode one ({\*\ud ...}) is read; the ANSI one holds the
    // same text with "?" for every character its code page lacks.
    if (g.uprChild) g.dest = Dest::Skip;
    stack_.push_back(g);
    destinationPending_ = true;
    return true;
  }

  void CloseGroup() {
    Flush();
    skipFallback_ = 0;
    if (!stack_.empty()) {
      if (top().dest == Dest::FontEntry) fontEntry_ = -1;
      stack_.pop_back();
    }
    destinationPending_ = false;
  }

  // The code page in force for \'hh bytes and 8-bit text in the current group.
  int CurrentCodePage() {
    const int font = stack_.empty() || top().font < 0 ? defaultFont_ : top().font;
    auto it = fontCodePages_.find(font);
    if (it != fontCodePages_.end() && it->second != 0) return it->second;
    return documentCodePage_;
  }

  std::string* Target() {
    if (stack_.empty()) return nullptr;
    switch (top().dest) {
      case Dest::Main:
        return &doc_.text;
      case Dest::Title:
        return &doc_.title;
      case Dest::Author:
        return &doc_.author;
      default:
        return nullptr;
    }
  }

  // Bytes of 8-bit text are gathered in runs and decoded together, so that double-byte code
  // pages see both halves of a character.
  void EmitByte(unsigned char b) {
    if (!Target()) return;
    const int cp = CurrentCodePage();
    if (!pendingBytes_.empty() && pendingCodePage_ != cp) Flush();
    pendingCodePage_ = cp;
    pendingBytes_ += static_cast<char>(b);
  }

  void EmitText(std::string_view utf8) {
    std::string* target = Target();
    if (!target) return;
    Flush();
    *target += utf8;
  }

  void EmitCodePoint(char32_t cp) {
    std::string* target = Target();
    if (!target) return;
    Flush();
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      highSurrogate_ = cp;
      return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
      if (highSurrogate_ != 0) {
        base::AppendUtf8(*target, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00));
      }
      highSurrogate_ = 0;
      return;
    }
    highSurrogate_ = 0;
    base::AppendUtf8(*target, cp);
  }

  void Flush() {
    if (pendingBytes_.empty()) return;
    if (std::string* target = Target()) *target += DecodeCodePage(pendingBytes_, pendingCodePage_);
    pendingBytes_.clear();
  }

  void ControlSequence() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      ControlSymbol(c);
      return;
    }
    const std::size_t wordStart = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_]) && pos_ - wordStart < 32) ++pos_;
    const std::string_view word = in_.substr(wordStart, pos_ - wordStart);
    bool hasParam = false;
    bool negative = false;
    std::int64_t param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    const std::size_t digitsStart = pos_;
    while (pos_ < in_.size() && IsDigit(in_[pos_]) && pos_ - digitsStart < 10) {
      param = param * 10 + (in_[pos_] - '0');
      ++pos_;
      hasParam = true;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    ControlWord(word, hasParam,
                static_cast<int>(std::clamp<std::int64_t>(param, INT32_MIN, INT32_MAX)));
  }

  void ControlSymbol(char c) {
    const bool first = destinationPending_;
    destinationPending_ = false;
    if (c == '*' && first) {
      // An ignorable destination: readers that do not know it skip the whole group.
      ignorableDestination_ = true;
      destinationPending_ = true;
      return;
    }
    if (c == '\'') {
      if (pos_ + 1 < in_.size() && HexValue(in_[pos_]) >= 0 && HexValue(in_[pos_ + 1]) >= 0) {
        const int value = HexValue(in_[pos_]) * 16 + HexValue(in_[pos_ + 1]);
        pos_ += 2;
        if (skipFallback_ > 0) {
          --skipFallback_;
          return;
        }
        EmitByte(static_cast<unsigned char>(value));
      }
      return;
    }
    if (skipFallback_ > 0) {
      --skipFallback_;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}':
        EmitByte(static_cast<unsigned char>(c));
        break;
      case '~':
        EmitCodePoint(0x00A0);
        break;
      case '_':
        EmitText("-");
        break;
      case '\r':
      case '\n':
        EmitText("\r\n");
        break;
      case '\t':
        EmitText("\t");
        break;
      default:
        break;  // \- optional hyphen, \: index subentry, \| formula: no text
    }
  }

  void ControlWord(std::string_view word, bool hasParam, int param) {
    const bool first = destinationPending_;
    destinationPending_ = false;
    const bool ignorable = ignorableDestination_;
    ignorableDestination_ = false;
    if (stack_.empty()) return;

    if (word == "bin") {
      // Binary data follows; it is never text, whatever destination holds it.
      const std::size_t n = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
      pos_ = n > in_.size() - pos_ ? in_.size() : pos_ + n;
      return;
    }
    if (skipFallback_ > 0 && word != "u") {
      --skipFallback_;
      return;
    }

    if (first) {
      if (word == "upr" && top().dest != Dest::Skip && top().dest != Dest::FontTable &&
          top().dest != Dest::FontEntry) {
        Flush();
        top().uprTarget = top().dest;
        top().dest = Dest::Upr;
        return;
      }
      if (word == "ud" && top().uprChild) {
        Flush();
        top().dest = top().uprTarget;
        return;
      }
      if (word == "fonttbl") {
        Flush();
        top().dest = Dest::FontTable;
        return;
      }
      if (word == "info") {
        Flush();
        top().dest = top().dest == Dest::Main ? Dest::Info : Dest::Skip;
        return;
      }
      if (top().dest == Dest::Info && (word == "title" || word == "author")) {
        Flush();
        top().dest = word == "title" ? Dest::Title : Dest::Author;
        return;
      }
      if (ignorable || IsSkippedDestination(word)) {
        Flush();
        top().dest = Dest::Skip;
        return;
      }
    }

    Dest dest = top().dest;
    if (dest == Dest::FontTable || dest == Dest::FontEntry) {
      FontTableWord(word, hasParam, param);
      return;
    }
    if (dest == Dest::Skip) return;
    if (dest == Dest::Info) {
      // Every other piece of the information group (subject, dates, counts) is not text.
      if (first) top().dest = Dest::Skip;
      return;
    }

    if (word == "ansicpg") {
      if (hasParam && param > 0 && HaveCodePage(param)) documentCodePage_ = param;
    } else if (word == "mac") {
      documentCodePage_ = 10000;
    } else if (word == "pc") {
      documentCodePage_ = 437;
    } else if (word == "pca") {
      documentCodePage_ = 850;
    } else if (word == "deff") {
      if (hasParam) defaultFont_ = param;
    } else if (word == "f") {
      if (hasParam) {
        Flush();
        top().font = param;
      }
    } else if (word == "plain") {
      Flush();
      top().font = -1;
    } else if (word == "uc") {
      if (hasParam && param >= 0) top().unicodeSkip = std::min(param, 64);
    } else if (word == "u") {
      if (!hasParam) return;
      const int value = param < 0 ? param + 65536 : param;
      if (skipFallback_ > 0) skipFallback_ = 0;
      if (value >= 0 && value <= 0xFFFF) EmitCodePoint(static_cast<char32_t>(value));
      skipFallback_ = top().unicodeSkip;
    } else if (word == "par" || word == "line" || word == "sect" || word == "page" ||
               word == "row") {
      EmitText("\r\n");
    } else if (word == "tab" || word == "cell" || word == "nestcell") {
      EmitText("\t");
    } else if (word == "emdash") {
      EmitCodePoint(0x2014);
    } else if (word == "endash") {
      EmitCodePoint(0x2013);
    } else if (word == "bullet") {
      EmitCodePoint(0x2022);
    } else if (word == "lquote") {
      EmitCodePoint(0x2018);
    } else if (word == "rquote") {
      EmitCodePoint(0x2019);
    } else if (word == "ldblquote") {
      EmitCodePoint(0x201C);
    } else if (word == "rdblquote") {
      EmitCodePoint(0x201D);
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
      EmitText(" ");
    }
  }

  // Inside the font table only the font numbers and their character sets matter: they decide
  // how \'hh bytes written in each font are read.
  void FontTableWord(std::string_view word, bool hasParam, int param) {
    if (!hasParam) return;
    if (word == "f") {
      fontEntry_ = param;
      fontCodePages_.emplace(param, 0);
    } else if (word == "fcharset" && fontEntry_ >= 0) {
      if (const int cp = CharsetCodePage(param); cp != 0 && HaveCodePage(cp))
        fontCodePages_[fontEntry_] = cp;
    } else if (word == "cpg" && fontEntry_ >= 0) {
      if (param > 0 && HaveCodePage(param)) fontCodePages_[fontEntry_] = param;
    }
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<Group> stack_;
  RtfDocument doc_;
  bool destinationPending_ = false;
  bool ignorableDestination_ = false;
  int skipFallback_ = 0;
  char32_t highSurrogate_ = 0;
  int documentCodePage_ = kSystemAnsiCodePage;
  int defaultFont_ = 0;
  int fontEntry_ = -1;
  std::map<int, int> fontCodePages_;
  std::string pendingBytes_;
  int pendingCodePage_ = kSystemAnsiCodePage;
};

}  // namespace

std::optional<RtfDocument> ParseRtf(std::string_view bytes) {
  return Parser(bytes).Run();
}

}  // namespace zyl::extract
