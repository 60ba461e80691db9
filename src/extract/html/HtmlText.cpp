#include "extract/html/HtmlText.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "base/Strings.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kScriptOpen = "<script";
constexpr std::string_view kScriptClose = "</script>";

// Copies the text without its comments. The closing "-->" is searched from the comment's own
// "<", so "<!-->" is a complete (empty) comment.
std::string RemoveComments(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find(kCommentOpen, pos);
    if (open == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, open - pos));
    const std::size_t close = text.find(kCommentClose, open);
    if (close == std::string_view::npos) break;  // unterminated: the rest is comment
    pos = close + kCommentClose.size();
  }
  return out;
}

std::string RemoveScripts(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = base::FindAsciiNoCase(text, kScriptOpen, pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = base::FindAsciiNoCase(text, kScriptClose, open);
    if (close == std::string_view::npos) break;  // unterminated: left as it is
    out.append(text.substr(pos, open - pos));
    pos = close + kScriptClose.size();
  }
  out.append(text.substr(pos));
  return out;
}

// Elements a browser lays out as blocks or cells, lower-case, sorted: their tags stand between
// words.
constexpr std::string_view kBlockElements[] = {
    "address", "article", "aside",  "blockquote", "body", "br",       "caption",    "center",
    "dd",      "dir",     "div",    "dl",         "dt",   "fieldset", "figcaption", "figure",
    "footer",  "form",    "frame",  "h1",         "h2",   "h3",       "h4",         "h5",
    "h6",      "head",    "header", "hr",         "html", "iframe",   "legend",     "li",
    "main",    "menu",    "nav",    "noscript",   "ol",   "option",   "p",          "pre",
    "section", "select",  "table",  "tbody",      "td",   "textarea", "tfoot",      "th",
    "thead",   "title",   "tr",     "ul"};

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A tag name of up to eight letters as one number, lower-case, so that the lookup below
// compares numbers: pages hold a tag every few words and this runs for each.
std::uint64_t NameKey(std::string_view name) {
  std::uint64_t key = 0;
  for (const char c : name)
    key = (key << 8) | static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return key;
}

bool IsBlockElement(std::string_view name) {
  static const auto kShortKeys = [] {
    std::vector<std::uint64_t> keys;
    for (const std::string_view e : kBlockElements)
      if (e.size() <= 8) keys.push_back(NameKey(e));
    std::sort(keys.begin(), keys.end());
    return keys;
  }();
  if (name.empty()) return false;
  if (name.size() <= 8)
    return std::binary_search(kShortKeys.begin(), kShortKeys.end(), NameKey(name));
  return base::EqualsNoCase(name, "blockquote") || base::EqualsNoCase(name, "figcaption");
}

// The position of the ">" that ends the tag opened at `open`, or npos. Quotes count only where
// an attribute value begins (after "="); a quote that never closes does not hide the tag's end.
std::size_t TagEnd(std::string_view text, std::size_t open) {
  const std::size_t first = text.find('>', open + 1);
  if (first == std::string_view::npos) return first;
  // Most tags hold no quote before their first ">": nothing more to look at.
  bool quoted = false;
  for (std::size_t i = open + 1; i < first && !quoted; ++i)
    quoted = text[i] == '"' || text[i] == '\'';
  if (!quoted) return first;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '>') return i;
    if (c != '=') continue;
    std::size_t v = i + 1;
    while (v < text.size() &&
           (text[v] == ' ' || text[v] == '\t' || text[v] == '\r' || text[v] == '\n'))
      ++v;
    if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
      const std::size_t close = text.find(text[v], v + 1);
      if (close != std::string_view::npos) {
        i = close;
        continue;
      }
    }
    i = v - 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::string HtmlTagsToText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find('<', pos);
    if (open == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, open - pos));
    const char first = open + 1 < text.size() ? text[open + 1] : '\0';
    if (!IsAsciiLetter(first) && first != '/' && first != '!' && first != '?') {
      out += '<';
      pos = open + 1;
      continue;
    }
    const std::size_t close = TagEnd(text, open);
    if (close == std::string_view::npos) {
      out.append(text.substr(open));  // no tag end anywhere: keep the rest as text
      break;
    }
    std::size_t nameStart = open + 1;
    if (text[nameStart] == '/') ++nameStart;
    std::size_t nameEnd = nameStart;
    while (nameEnd < close &&
           (IsAsciiLetter(text[nameEnd]) || (text[nameEnd] >= '0' && text[nameEnd] <= '9')))
      ++nameEnd;
    if (IsBlockElement(text.substr(nameStart, nameEnd - nameStart)) && !out.empty()) {
      const char last = out.back();
      if (last != ' ' && last != '\t' && last != '\r' && last != '\n') out += ' ';
    }
    pos = close + 1;
  }
  return out;
}

std::string StripCommentsAndScripts(std::string_view text) {
  return RemoveScripts(RemoveComments(text));
}

std::string StripTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find('<', pos);
    if (open == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, open - pos));
    const std::size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) {
      out.append(text.substr(open));  // no tag end anywhere: keep the rest as text
      break;
    }
    pos = close + 1;
  }
  return out;
}

std::string StripTagsChunked(std::string_view text) {
  // Pieces existed because removing tags one by one from one long string cost time in the
  // square of its length. StripTags builds its output in one pass, so the whole text is one
  // piece; cutting it would only risk splitting a tag whose ">" lies in the next piece.
  return StripTags(text);
}

}  // namespace zyl::extract
