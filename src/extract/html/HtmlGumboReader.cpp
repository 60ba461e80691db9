#include "extract/html/HtmlGumboReader.h"

#include <gumbo.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/TextLimit.h"
#include "extract/core/CodePages.h"

namespace zyl::extract {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsHtmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}
bool IsAsciiAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char AsciiLowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string_view TrimHtmlSpace(std::string_view s) {
  while (!s.empty() && IsHtmlSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsHtmlSpace(s.back())) s.remove_suffix(1);
  return s;
}

// ---------------------------------------------------------------------------------------
// Decoding

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

std::string IcuToUtf8(std::string_view bytes, const std::string& charset, bool* ok) {
  *ok = false;
  UErrorCode err = U_ZERO_ERROR;
  const int32_t length = static_cast<int32_t>(std::min<std::size_t>(bytes.size(), INT32_MAX));
  const int32_t need =
      ucnv_convert("UTF-8", charset.c_str(), nullptr, 0, bytes.data(), length, &err);
  if (err != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(err)) return {};
  std::string out(static_cast<std::size_t>(need) + 1, '\0');
  err = U_ZERO_ERROR;
  const int32_t written =
      ucnv_convert("UTF-8", charset.c_str(), out.data(), need + 1, bytes.data(), length, &err);
  if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.resize(static_cast<std::size_t>(std::min(written, need)));
  *ok = true;
  return out;
}

// ---------------------------------------------------------------------------------------
// Nesting guard. HTML5 tree construction costs time in the depth of the open elements for
// many start tags (a new <div> looks for an open <p> down the whole stack), and the parser
// frees its tree recursively; a hostile page of a few hundred thousand nested tags would take
// minutes or overflow the stack. Browsers cap the depth for the same reason. Before parsing,
// the page is scanned with a simplified model of the open elements that never counts fewer
// than the parser would keep open (up to the few elements the parser adds itself); start tags
// that would nest beyond the limits are left out of the text given to the parser. Their text
// stays; only the structure (line breaks, formatting) below that depth is lost.

constexpr std::size_t kMaxOpenElements = 512;
constexpr std::size_t kMaxOpenFormatting = 64;

template <std::size_t N>
bool OneOf(std::string_view name, const std::string_view (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

constexpr std::string_view kVoidElements[] = {
    "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr",
    "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr"};
// Elements whose end tag may be left out: the parser closes them when a sibling starts, so
// they do not nest by themselves.
constexpr std::string_view kSelfClosingByParser[] = {
    "p",  "li", "dt",    "dd",    "option", "optgroup", "tr",
    "td", "th", "tbody", "thead", "tfoot",  "colgroup", "caption",
    "rb", "rt", "rtc",   "rp",    "html",   "head",     "body"};
constexpr std::string_view kFormatting[] = {"a",    "b", "big",   "code",   "em",     "font", "i",
                                            "nobr", "s", "small", "strike", "strong", "tt",   "u"};
// Elements whose content is text up to their own end tag.
constexpr std::string_view kRawText[] = {"script", "style",  "textarea", "title",
                                         "xmp",    "iframe", "noembed",  "noframes"};

class NestingGuard {
 public:
  explicit NestingGuard(std::string_view html) : html_(html) {}

  // The page with over-deep start tags left out; `html_` itself when nothing had to go.
  std::string_view Limit(std::string& storage) {
    Scan();
    if (drops_.empty()) return html_;
    storage.reserve(html_.size());
    std::size_t pos = 0;
    for (const auto& [from, to] : drops_) {
      storage.append(html_.substr(pos, from - pos));
      pos = to;
    }
    storage.append(html_.substr(pos));
    return storage;
  }

 private:
  void Scan() {
    std::size_t pos = 0;
    while (true) {
      const std::size_t lt = html_.find('<', pos);
      if (lt == npos || lt + 1 >= html_.size()) return;
      const char next = html_[lt + 1];
      std::size_t end;
      if (html_.compare(lt, 4, "<!--") == 0) {
        end = CommentEnd(lt);
      } else if (next == '!' || next == '?') {
        end = AfterGreater(lt + 2);
      } else if (next == '/') {
        end = EndTag(lt);
      } else if (IsAsciiAlpha(next)) {
        end = StartTag(lt);
      } else {
        end = lt + 1;
      }
      if (end == npos) return;  // the rest of the page is inside one construct
      pos = end;
    }
  }

  std::size_t AfterGreater(std::size_t from) const {
    const std::size_t gt = html_.find('>', from);
    return gt == npos ? npos : gt + 1;
  }

  std::size_t CommentEnd(std::size_t lt) const {
    std::size_t p = lt + 4;
    if (html_.compare(p, 1, ">") == 0) return p + 1;   // <!-->
    if (html_.compare(p, 2, "->") == 0) return p + 2;  // <!--->
    while ((p = html_.find("--", p)) != npos) {
      if (html_.compare(p + 2, 1, ">") == 0) return p + 3;
      if (html_.compare(p + 2, 2, "!>") == 0) return p + 4;
      ++p;
    }
    return npos;
  }

  // Reads a tag name from `p` (lower-cased) and returns the position after it.
  std::size_t TagName(std::size_t p, std::string& name) const {
    name.clear();
    while (p < html_.size() && !IsHtmlSpace(html_[p]) && html_[p] != '/' && html_[p] != '>')
      name.push_back(AsciiLowerChar(html_[p++]));
    return p;
  }

  // Skips the attributes of a tag the way the HTML tokenizer does (quoted values may hold
  // ">"); returns the position after its ">", npos when the page ends inside it.
  std::size_t TagEnd(std::size_t p, bool* selfClosing) const {
    *selfClosing = false;
    const std::size_t n = html_.size();
    while (p < n) {
      const char c = html_[p];
      if (c == '>') return p + 1;
      if (IsHtmlSpace(c)) {
        ++p;
        continue;
      }
      if (c == '/') {
        *selfClosing = p + 1 < n && html_[p + 1] == '>';
        ++p;
        continue;
      }
      // Attribute name: its first character may be "=" or a quote.
      ++p;
      while (p < n && !IsHtmlSpace(html_[p]) && html_[p] != '/' && html_[p] != '>' &&
             html_[p] != '=')
        ++p;
      while (p < n && IsHtmlSpace(html_[p])) ++p;
      if (p >= n || html_[p] != '=') continue;
      ++p;
      while (p < n && IsHtmlSpace(html_[p])) ++p;
      if (p >= n) return npos;
      if (html_[p] == '"' || html_[p] == '\'') {
        const std::size_t close = html_.find(html_[p], p + 1);
        if (close == npos) return npos;
        p = close + 1;
      } else {
        while (p < n && !IsHtmlSpace(html_[p]) && html_[p] != '>') ++p;
      }
    }
    return npos;
  }

  std::size_t EndTag(std::size_t lt) {
    if (lt + 2 >= html_.size()) return npos;
    if (html_[lt + 2] == '>') return lt + 3;
    if (!IsAsciiAlpha(html_[lt + 2])) return AfterGreater(lt + 2);
    const std::size_t afterName = TagName(lt + 2, name_);
    bool selfClosing;
    const std::size_t end = TagEnd(afterName, &selfClosing);
    if (end != npos) Close(name_);
    return end;
  }

  std::size_t StartTag(std::size_t lt) {
    const std::size_t afterName = TagName(lt + 1, name_);
    bool selfClosing;
    const std::size_t end = TagEnd(afterName, &selfClosing);
    if (end == npos) return npos;
    const bool foreign = foreignOpen_ > 0;
    if (!foreign && name_ == "plaintext") return npos;
    if (!foreign && OneOf(name_, kRawText)) {
      // Text up to the matching end tag; nothing inside can nest.
      const std::size_t close = base::FindAsciiNoCase(html_, "</" + name_, end);
      return close == npos ? npos : close;
    }
    const bool counted = foreign
                             ? !selfClosing
                             : !OneOf(name_, kVoidElements) && !OneOf(name_, kSelfClosingByParser);
    if (!counted) return end;
    if (!foreign && name_ == "a" && Count("a") > 0) Close("a");  // a new link ends the old
    const bool formatting = !foreign && OneOf(name_, kFormatting);
    if (stack_.size() >= kMaxOpenElements ||
        (formatting && formattingOpen_ >= kMaxOpenFormatting)) {
      drops_.emplace_back(lt, end);
      return end;
    }
    stack_.push_back(name_);
    ++counts_[name_];
    if (formatting) ++formattingOpen_;
    if (name_ == "svg" || name_ == "math") ++foreignOpen_;
    return end;
  }

  int Count(const std::string& name) const {
    const auto it = counts_.find(name);
    return it == counts_.end() ? 0 : it->second;
  }

  // An end tag closes the innermost open element of its name and everything inside it; an
  // end tag of an element that is not open changes nothing.
  void Close(const std::string& name) {
    if (Count(name) == 0) return;
    while (!stack_.empty()) {
      std::string top = std::move(stack_.back());
      stack_.pop_back();
      --counts_[top];
      if (OneOf(top, kFormatting)) --formattingOpen_;
      if (top == "svg" || top == "math") --foreignOpen_;
      if (top == name) break;
    }
  }

  std::string_view html_;
  std::vector<std::string> stack_;
  std::unordered_map<std::string, int> counts_;
  std::size_t formattingOpen_ = 0;
  std::size_t foreignOpen_ = 0;
  std::string name_;
  std::vector<std::pair<std::size_t, std::size_t>> drops_;
};

// ---------------------------------------------------------------------------------------
// Rendering

bool IsBlock(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIR:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HGROUP:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_LEGEND:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_LISTING:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_MENU:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_P:
    case GUMBO_TAG_PLAINTEXT:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_SUMMARY:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_OPTION:
      return true;
    default:
      return false;
  }
}

// Elements whose content a reader of the page never sees.
bool IsHidden(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
      return true;
    default:
      return false;
  }
}

bool KeepsWhiteSpace(GumboTag tag) {
  return tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_TEXTAREA || tag == GUMBO_TAG_LISTING ||
         tag == GUMBO_TAG_PLAINTEXT;
}

// Builds rendered text: white space collapses to one blank, blocks start on a new line, and
// no line starts or ends with a collapsed blank.
class TextBuilder {
 public:
  void Text(std::string_view s, bool keepWhiteSpace) {
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (keepWhiteSpace && (c == '\r' || c == '\n')) {
        if (c == '\n') LineBreak();
        continue;
      }
      if (!keepWhiteSpace && IsHtmlSpace(c)) {
        space_ = true;
        continue;
      }
      // A no-break space is a blank that does not collapse.
      if (c == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0') {
        Put(' ');
        ++i;
        continue;
      }
      Put(c);
    }
  }
  // The next text starts on a new line (nothing happens at the start of a line).
  void Block() { block_ = !out_.empty(); }
  // The next text on this line is the next table cell.
  void Cell() { cell_ = true; }
  void LineBreak() {
    out_ += "\r\n";
    block_ = space_ = cell_ = false;
  }
  std::string Take() { return std::move(out_); }

 private:
  bool AtLineStart() const { return out_.empty() || out_.back() == '\n'; }
  void Put(char c) {
    if (!AtLineStart()) {
      if (block_) {
        out_ += "\r\n";
      } else if (cell_) {
        out_ += '\t';
      } else if (space_) {
        out_ += ' ';
      }
    }
    block_ = space_ = cell_ = false;
    out_ += c;
  }

  std::string out_;
  bool block_ = false;
  bool space_ = false;
  bool cell_ = false;
};

std::string_view AttributeValue(const GumboElement& e, const char* name) {
  const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
  return a ? std::string_view(a->value) : std::string_view();
}

bool HasAttribute(const GumboElement& e, const char* name) {
  return gumbo_get_attribute(&e.attributes, name) != nullptr;
}

std::string CollapsedText(const GumboNode* node) {
  std::string raw;
  std::vector<const GumboNode*> pending{node};
  while (!pending.empty()) {
    const GumboNode* n = pending.back();
    pending.pop_back();
    if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE ||
        n->type == GUMBO_NODE_CDATA) {
      raw += n->v.text.text;
    } else if (n->type == GUMBO_NODE_ELEMENT) {
      const GumboVector& kids = n->v.element.children;
      for (unsigned i = kids.length; i > 0; --i)
        pending.push_back(static_cast<const GumboNode*>(kids.data[i - 1]));
    }
  }
  std::string out;
  bool space = false;
  for (const char c : TrimHtmlSpace(raw)) {
    if (IsHtmlSpace(c)) {
      space = true;
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

struct GumboOutputDeleter {
  void operator()(GumboOutput* output) const {
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
};

// Walks the tree without recursion: the text of visible nodes, and the title, author, links
// and base address wherever they are.
void Walk(const GumboNode* root, const HtmlPageOptions& options, HtmlPage& page) {
  TextBuilder text;
  bool haveTitle = false, haveAuthor = false, haveBase = false;
  struct Frame {
    const GumboNode* node;
    unsigned next;  // next child to visit
  };
  std::vector<Frame> stack{{root, 0}};
  int hidden = 0, keepWhiteSpace = 0;

  auto children = [](const GumboNode* n) -> const GumboVector* {
    if (n->type == GUMBO_NODE_DOCUMENT) return &n->v.document.children;
    if (n->type == GUMBO_NODE_ELEMENT) return &n->v.element.children;
    return nullptr;
  };

  while (!stack.empty()) {
    Frame& f = stack.back();
    const GumboNode* n = f.node;
    const GumboVector* kids = children(n);
    if (f.next == 0 && n->type == GUMBO_NODE_ELEMENT) {
      // Entering an element.
      const GumboElement& e = n->v.element;
      const bool html = e.tag_namespace == GUMBO_NAMESPACE_HTML;
      if (html && e.tag == GUMBO_TAG_TITLE && !haveTitle) {
        page.title = CollapsedText(n);
        haveTitle = true;
      } else if (html && e.tag == GUMBO_TAG_META && !haveAuthor) {
        const std::string_view name = AttributeValue(e, "name");
        if (options.authorExactCase ? name == "Author" : base::AsciiLower(name) == "author") {
          page.author = AttributeValue(e, "content");
          haveAuthor = true;
        }
      } else if (html && e.tag == GUMBO_TAG_A && HasAttribute(e, "href")) {
        page.links.emplace_back(TrimHtmlSpace(AttributeValue(e, "href")));
      } else if (html && e.tag == GUMBO_TAG_BASE && !haveBase && HasAttribute(e, "href")) {
        page.baseHref = TrimHtmlSpace(AttributeValue(e, "href"));
        haveBase = true;
      }
      if (IsHidden(e.tag)) ++hidden;
      if (KeepsWhiteSpace(e.tag)) ++keepWhiteSpace;
      if (hidden == 0) {
        if (e.tag == GUMBO_TAG_BR) text.LineBreak();
        if (IsBlock(e.tag)) text.Block();
      }
    } else if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE ||
               n->type == GUMBO_NODE_CDATA) {
      if (hidden == 0) text.Text(n->v.text.text, keepWhiteSpace > 0);
    }

    if (kids && f.next < kids->length && n->type != GUMBO_NODE_TEMPLATE) {
      const auto* child = static_cast<const GumboNode*>(kids->data[f.next++]);
      stack.push_back({child, 0});
      continue;
    }
    if (n->type == GUMBO_NODE_ELEMENT) {
      // Leaving an element.
      const GumboElement& e = n->v.element;
      if (IsHidden(e.tag)) --hidden;
      if (KeepsWhiteSpace(e.tag)) --keepWhiteSpace;
      if (hidden == 0) {
        if (IsBlock(e.tag)) text.Block();
        if (e.tag == GUMBO_TAG_TD || e.tag == GUMBO_TAG_TH) text.Cell();
      }
    }
    stack.pop_back();
  }
  page.text = text.Take();
}

}  // namespace

std::string DeclaredCharset(std::string_view bytes) {
  // Only the head declares; a page without a body is searched in its first 64 KB.
  std::size_t limit = base::FindAsciiNoCase(bytes, "<body");
  if (limit == npos) limit = std::min<std::size_t>(bytes.size(), 64 * 1024);
  const std::string_view head = bytes.substr(0, limit);
  for (std::size_t p = base::FindAsciiNoCase(head, "charset"); p != npos;
       p = base::FindAsciiNoCase(head, "charset", p + 1)) {
    std::size_t i = p + 7;
    while (i < head.size() && IsHtmlSpace(head[i])) ++i;
    if (i >= head.size() || head[i] != '=') continue;
    ++i;
    while (i < head.size() && (IsHtmlSpace(head[i]) || head[i] == '"' || head[i] == '\'')) ++i;
    std::string name;
    while (i < head.size() &&
           (std::isalnum(static_cast<unsigned char>(head[i])) || head[i] == '-' || head[i] == '_' ||
            head[i] == '.' || head[i] == ':'))
      name.push_back(AsciiLowerChar(head[i++]));
    if (!name.empty()) return name;
  }
  return {};
}

std::string DecodeHtmlBytes(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return RepairUtf8(bytes.substr(3));
  if (auto utf16 = DecodeUtf16Text(bytes)) return std::move(*utf16);
  const std::string charset = DeclaredCharset(bytes);
  if (charset.empty()) return AutoRecode(bytes);
  if (charset == "utf-8" || charset == "utf8") return RepairUtf8(bytes);
  if (charset == "windows-1251" || charset == "cp1251" || charset == "x-cp1251")
    return base::Cp1251ToUtf8(bytes);
  // A page that names UTF-16 without a byte-order mark is read with ASCII-compatible bytes.
  if (charset.starts_with("utf-16") || charset.starts_with("unicode"))
    return base::DecodeLegacyText(bytes);
  bool ok = false;
  std::string text = IcuToUtf8(bytes, charset, &ok);
  return ok ? text : base::DecodeLegacyText(bytes);
}

HtmlPage ParseHtmlPage(std::string_view bytes, const HtmlPageOptions& options) {
  const std::string utf8 = DecodeHtmlBytes(bytes);
  std::string limitedStorage;
  const std::string_view input = NestingGuard(utf8).Limit(limitedStorage);

  GumboOptions gumboOptions = kGumboDefaultOptions;
  gumboOptions.max_errors = 0;  // error records copy the open-element stack: keep none
  const std::unique_ptr<GumboOutput, GumboOutputDeleter> output(
      gumbo_parse_with_options(&gumboOptions, input.data(), input.size()));
  HtmlPage page;
  if (output) Walk(output->document, options, page);
  return page;
}

FileInfo GetHtmlInfoIE(std::string_view path) {
  bool cut = false;
  auto bytes = base::ReadFileBytes(path, MaxMarkupBytes(), &cut);
  if (!bytes) return ErrorInfo();
  if (cut) TrimPartialCharacter(*bytes);
  try {
    HtmlPage page = ParseHtmlPage(*bytes);
    FileInfo info;
    info.textCut = cut;
    info.content = std::move(page.text);
    info.title = std::move(page.title);
    info.author = std::move(page.author);
    info.type = "html";
    return info;
  } catch (const std::bad_alloc&) {
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
