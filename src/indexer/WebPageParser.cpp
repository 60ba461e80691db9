#include "indexer/WebPageParser.h"

#include <gumbo.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "base/Cp1251.h"
#include "base/Strings.h"
#include "base/Utf8.h"

namespace zyl::indexer {

namespace {

using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// Charsets

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::string> ConvertWithIcu(std::string_view bytes, const std::string& charset) {
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, void (*)(UConverter*)> converter(ucnv_open(charset.c_str(), &status),
                                                               ucnv_close);
  if (U_FAILURE(status) || !converter) return std::nullopt;
  const icu::UnicodeString text(bytes.data(), static_cast<int32_t>(bytes.size()), converter.get(),
                                status);
  if (U_FAILURE(status) || text.isBogus()) return std::nullopt;
  std::string out;
  text.toUTF8String(out);
  return out;
}

// The encoding a byte-order mark names, and the mark's length; nullopt without a mark.
std::optional<std::pair<std::string, std::size_t>> ByteOrderMark(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return std::pair<std::string, std::size_t>{"UTF-8", 3};
  if (StartsWith(bytes, "\xFF\xFE")) return std::pair<std::string, std::size_t>{"UTF-16LE", 2};
  if (StartsWith(bytes, "\xFE\xFF")) return std::pair<std::string, std::size_t>{"UTF-16BE", 2};
  return std::nullopt;
}

bool IsUtf8Name(std::string_view lowerName) {
  return lowerName == "utf-8" || lowerName == "utf8";
}

// ---------------------------------------------------------------------------------------------
// Gumbo with a time budget. Every allocation of the parser goes through this arena, which can
// therefore abandon a parse half-way (by jumping out of the parser) and still free everything
// it allocated.

class ParseArena {
 public:
  explicit ParseArena(Clock::time_point deadline) : deadline_(deadline) {
    head_.prev = head_.next = &head_;
  }
  ~ParseArena() {
    Block* b = head_.next;
    while (b != &head_) {
      Block* next = b->next;
      std::free(b);
      b = next;
    }
  }
  ParseArena(const ParseArena&) = delete;
  ParseArena& operator=(const ParseArena&) = delete;

  std::jmp_buf escape;

  static void* Allocate(void* userdata, std::size_t size) {
    auto* arena = static_cast<ParseArena*>(userdata);
    // The clock is read every 256 allocations: often enough, since every tag allocates.
    if ((++arena->calls_ & 0xFF) == 0 && Clock::now() > arena->deadline_)
      std::longjmp(arena->escape, 1);
    auto* block = static_cast<Block*>(std::malloc(kHeader + size));
    if (block == nullptr) std::longjmp(arena->escape, 2);
    block->prev = &arena->head_;
    block->next = arena->head_.next;
    arena->head_.next->prev = block;
    arena->head_.next = block;
    return reinterpret_cast<char*>(block) + kHeader;
  }

  static void Deallocate(void* userdata, void* ptr) {
    if (ptr == nullptr) return;
    auto* block = reinterpret_cast<Block*>(static_cast<char*>(ptr) - kHeader);
    block->prev->next = block->next;
    block->next->prev = block->prev;
    std::free(block);
  }

 private:
  struct Block {
    Block* prev;
    Block* next;
  };
  // The header keeps the caller's memory aligned as malloc's would be.
  static constexpr std::size_t kHeader = (sizeof(Block) + alignof(std::max_align_t) - 1) /
                                         alignof(std::max_align_t) * alignof(std::max_align_t);

  Block head_{};
  Clock::time_point deadline_;
  unsigned calls_ = 0;
};

// Kept free of objects with destructors: the parser may leave it through longjmp.
GumboOutput* RunGumbo(const GumboOptions* options, std::string_view html, std::jmp_buf* escape) {
  if (setjmp(*escape) != 0) return nullptr;
  return gumbo_parse_with_options(options, html.data(), html.size());
}

class GumboDocument {
 public:
  GumboDocument(std::string_view html, Clock::time_point deadline) : arena_(deadline) {
    options_ = kGumboDefaultOptions;
    options_.allocator = &ParseArena::Allocate;
    options_.deallocator = &ParseArena::Deallocate;
    options_.userdata = &arena_;
    // Parse errors are of no use here, and each one keeps a copy of the open-element stack,
    // which on a deeply nested page costs memory with the square of the depth.
    options_.max_errors = 0;
    output_ = RunGumbo(&options_, html, &arena_.escape);
  }
  ~GumboDocument() {
    if (output_ != nullptr) gumbo_destroy_output(&options_, output_);
  }
  GumboDocument(const GumboDocument&) = delete;
  GumboDocument& operator=(const GumboDocument&) = delete;

  const GumboOutput* output() const { return output_; }

 private:
  ParseArena arena_;
  GumboOptions options_{};
  GumboOutput* output_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Tree walking, without recursion: pages can nest elements arbitrarily deep.

// Calls enter(node) on the way down and leave(node) on the way up, in document order.
// enter returns false to skip the node's children.
template <typename Enter, typename Leave>
void Walk(const GumboNode* root, Enter&& enter, Leave&& leave) {
  struct Frame {
    const GumboNode* node;
    unsigned next;
  };
  std::vector<Frame> stack;
  if (!enter(root)) {
    leave(root);
    return;
  }
  stack.push_back({root, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    const GumboNode* node = top.node;
    const bool hasChildren = node->type == GUMBO_NODE_ELEMENT ||
                             node->type == GUMBO_NODE_TEMPLATE || node->type == GUMBO_NODE_DOCUMENT;
    const GumboVector* children = nullptr;
    if (hasChildren)
      children = node->type == GUMBO_NODE_DOCUMENT ? &node->v.document.children
                                                   : &node->v.element.children;
    if (children == nullptr || top.next >= children->length) {
      stack.pop_back();
      leave(node);
      continue;
    }
    const auto* child = static_cast<const GumboNode*>(children->data[top.next++]);
    if (enter(child))
      stack.push_back({child, 0});
    else
      leave(child);
  }
}

bool IsElement(const GumboNode* node, GumboTag tag) {
  return (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) &&
         node->v.element.tag == tag;
}

const char* Attribute(const GumboNode* node, const char* name) {
  const GumboAttribute* attr = gumbo_get_attribute(&node->v.element.attributes, name);
  return attr == nullptr ? nullptr : attr->value;
}

bool IsAsciiBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (IsAsciiBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

bool IsBlockTag(GumboTag tag) {
  static constexpr GumboTag kBlocks[] = {
      GUMBO_TAG_ADDRESS,  GUMBO_TAG_ARTICLE,    GUMBO_TAG_ASIDE,   GUMBO_TAG_BLOCKQUOTE,
      GUMBO_TAG_CAPTION,  GUMBO_TAG_CENTER,     GUMBO_TAG_DD,      GUMBO_TAG_DETAILS,
      GUMBO_TAG_DIR,      GUMBO_TAG_DIV,        GUMBO_TAG_DL,      GUMBO_TAG_DT,
      GUMBO_TAG_FIELDSET, GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,  GUMBO_TAG_FOOTER,
      GUMBO_TAG_FORM,     GUMBO_TAG_H1,         GUMBO_TAG_H2,      GUMBO_TAG_H3,
      GUMBO_TAG_H4,       GUMBO_TAG_H5,         GUMBO_TAG_H6,      GUMBO_TAG_HEADER,
      GUMBO_TAG_HGROUP,   GUMBO_TAG_HR,         GUMBO_TAG_LEGEND,  GUMBO_TAG_LI,
      GUMBO_TAG_LISTING,  GUMBO_TAG_MAIN,       GUMBO_TAG_MENU,    GUMBO_TAG_NAV,
      GUMBO_TAG_OL,       GUMBO_TAG_OPTION,     GUMBO_TAG_P,       GUMBO_TAG_PLAINTEXT,
      GUMBO_TAG_PRE,      GUMBO_TAG_SECTION,    GUMBO_TAG_SUMMARY, GUMBO_TAG_TABLE,
      GUMBO_TAG_TBODY,    GUMBO_TAG_TFOOT,      GUMBO_TAG_THEAD,   GUMBO_TAG_TR,
      GUMBO_TAG_UL,       GUMBO_TAG_XMP};
  return std::find(std::begin(kBlocks), std::end(kBlocks), tag) != std::end(kBlocks);
}

bool IsPreformattedTag(GumboTag tag) {
  return tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_TEXTAREA || tag == GUMBO_TAG_LISTING ||
         tag == GUMBO_TAG_XMP || tag == GUMBO_TAG_PLAINTEXT;
}

// Content a reader never sees on the page.
bool IsHiddenTag(GumboTag tag) {
  return tag == GUMBO_TAG_HEAD || tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE ||
         tag == GUMBO_TAG_NOSCRIPT || tag == GUMBO_TAG_TEMPLATE || tag == GUMBO_TAG_TITLE;
}

// The rendered text of the body, close to what a browser copies from the page: runs of blanks
// become one blank, block elements and <br> start new lines, table cells are separated by TABs,
// preformatted text is kept as written.
class TextRenderer {
 public:
  void Enter(const GumboNode* node) {
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
        node->type == GUMBO_NODE_CDATA) {
      Text(node->v.text.text);
      return;
    }
    if (node->type != GUMBO_NODE_ELEMENT) return;
    const GumboTag tag = node->v.element.tag;
    if (tag == GUMBO_TAG_BR) {
      out_ += '\n';
      pending_ = kNone;
    } else if (IsBlockTag(tag)) {
      Separate(kLine);
    }
    if (IsPreformattedTag(tag)) ++preformatted_;
  }

  void Leave(const GumboNode* node) {
    if (node->type != GUMBO_NODE_ELEMENT) return;
    const GumboTag tag = node->v.element.tag;
    if (IsPreformattedTag(tag)) --preformatted_;
    if (IsBlockTag(tag))
      Separate(kLine);
    else if (tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH)
      Separate(kTab);
  }

  std::string Finish() {
    std::string_view view = out_;
    while (!view.empty() && IsAsciiBlank(view.back())) view.remove_suffix(1);
    return std::string(view);
  }

 private:
  enum Separator { kNone, kSpace, kTab, kLine };

  void Separate(Separator s) {
    if (s > pending_) pending_ = s;
  }

  void Flush() {
    if (out_.empty() || pending_ == kNone) {
      pending_ = kNone;
      return;
    }
    const char last = out_.back();
    if (pending_ == kLine && last != '\n')
      out_ += '\n';
    else if (pending_ == kTab && last != '\n')
      out_ += '\t';
    else if (pending_ == kSpace && !IsAsciiBlank(last))
      out_ += ' ';
    pending_ = kNone;
  }

  void Text(std::string_view text) {
    if (preformatted_ > 0) {
      if (text.empty()) return;
      Flush();
      out_ += text;
      return;
    }
    for (char c : text) {
      if (IsAsciiBlank(c)) {
        Separate(kSpace);
        continue;
      }
      Flush();
      out_ += c;
    }
  }

  std::string out_;
  Separator pending_ = kNone;
  int preformatted_ = 0;
};

std::string TextOf(const GumboNode* node) {
  std::string text;
  Walk(
      node,
      [&](const GumboNode* n) {
        if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE ||
            n->type == GUMBO_NODE_CDATA)
          text += n->v.text.text;
        return true;
      },
      [](const GumboNode*) {});
  return text;
}

// The charset a page declares in a meta element: <meta charset> or
// <meta http-equiv="Content-Type" content="...; charset=...">, the first one that names one.
std::string DeclaredCharset(const GumboOutput* output) {
  std::string charset;
  Walk(
      output->document,
      [&](const GumboNode* node) {
        if (!charset.empty()) return false;
        if (IsElement(node, GUMBO_TAG_META)) {
          if (const char* value = Attribute(node, "charset")) {
            charset = base::Trim(value);
          } else if (const char* equiv = Attribute(node, "http-equiv");
                     equiv != nullptr && base::EqualsNoCase(base::Trim(equiv), "content-type")) {
            if (const char* content = Attribute(node, "content"))
              charset = CharsetOfContentType(content);
          }
        }
        return true;
      },
      [](const GumboNode*) {});
  return charset;
}

void ReadTree(const GumboOutput* output, ParsedPage& page) {
  bool haveTitle = false, haveAuthor = false, haveBase = false;
  Walk(
      output->document,
      [&](const GumboNode* node) {
        if (node->type != GUMBO_NODE_ELEMENT) return node->type == GUMBO_NODE_DOCUMENT;
        switch (node->v.element.tag) {
          case GUMBO_TAG_A:
            if (const char* href = Attribute(node, "href")) page.hrefs.emplace_back(href);
            break;
          case GUMBO_TAG_TITLE:
            if (!haveTitle) {
              haveTitle = true;
              page.title = CollapseBlanks(TextOf(node));
            }
            return false;
          case GUMBO_TAG_META:
            // Unlike the file reader, the name is compared with its letter case.
            if (const char* name = Attribute(node, "name");
                !haveAuthor && name != nullptr && std::strcmp(name, "Author") == 0) {
              haveAuthor = true;
              const char* content = Attribute(node, "content");
              page.author = content == nullptr ? "" : content;
            }
            break;
          case GUMBO_TAG_BASE:
            if (const char* href = Attribute(node, "href"); !haveBase && href != nullptr) {
              haveBase = true;
              page.baseHref = href;
            }
            break;
          case GUMBO_TAG_BODY: {
            TextRenderer renderer;
            Walk(
                node,
                [&](const GumboNode* n) {
                  if (n->type == GUMBO_NODE_ELEMENT && IsHiddenTag(n->v.element.tag)) return false;
                  renderer.Enter(n);
                  return true;
                },
                [&](const GumboNode* n) { renderer.Leave(n); });
            page.text = renderer.Finish();
            break;
          }
          default:
            break;
        }
        return true;
      },
      [](const GumboNode*) {});
}

}  // namespace

std::string CharsetOfContentType(std::string_view contentType) {
  const std::size_t at = base::FindAsciiNoCase(contentType, "charset=");
  if (at == std::string_view::npos) return {};
  std::string_view value = contentType.substr(at + 8);
  value = value.substr(0, value.find(';'));
  while (!value.empty() && IsAsciiBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsAsciiBlank(value.back())) value.remove_suffix(1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string DecodePageBytes(std::string_view bytes, std::string_view charset) {
  if (const auto bom = ByteOrderMark(bytes)) {
    if (auto text = ConvertWithIcu(bytes.substr(bom->second), bom->first)) return *text;
  }
  const std::string name = base::AsciiLower(base::Trim(charset));
  if (!name.empty() && !IsUtf8Name(name)) {
    if (auto text = ConvertWithIcu(bytes, name)) return *text;
  }
  return base::DecodeLegacyText(bytes);
}

ParsedPage ParseWebPage(std::string_view bytes, std::string_view headerCharset,
                        std::chrono::milliseconds budget) {
  const Clock::time_point deadline = Clock::now() + budget;
  ParsedPage page;
  std::string text;
  std::unique_ptr<GumboDocument> document;
  if (ByteOrderMark(bytes) || !base::Trim(headerCharset).empty()) {
    text = DecodePageBytes(bytes, headerCharset);
  } else {
    // The page may name its charset itself. Its markup is ASCII in every charset a page can
    // declare this way, so the raw bytes parse well enough to find the declaration (the parser
    // replaces bytes that are not UTF-8).
    document = std::make_unique<GumboDocument>(bytes, deadline);
    if (document->output() == nullptr) return page;
    std::string declared = base::AsciiLower(DeclaredCharset(document->output()));
    // A page that reached us as bytes cannot be UTF-16 whatever it says; browsers read it as
    // UTF-8 in that case too.
    if (StartsWith(declared, "utf-16")) declared = "utf-8";
    text = DecodePageBytes(bytes, declared);
    if (text != bytes) document.reset();
  }
  if (!document) document = std::make_unique<GumboDocument>(text, deadline);
  if (document->output() == nullptr) return page;
  ReadTree(document->output(), page);
  page.serialisedLength = static_cast<std::int64_t>(base::CodePointCount(text));
  page.ok = true;
  return page;
}

}  // namespace zyl::indexer
