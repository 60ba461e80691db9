#include "extract/html/HtmlReader.h"

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/ExtractOptions.h"
#include "extract/TextLimit.h"
#include "extract/core/CodePages.h"
#include "extract/html/HtmlEntities.h"
#include "extract/html/HtmlGumboReader.h"
#include "extract/html/HtmlText.h"

namespace zyl::extract {

namespace {

constexpr std::size_t npos = std::string_view::npos;

std::size_t Find(std::string_view text, std::string_view what, std::size_t from = 0) {
  return base::FindAsciiNoCase(text, what, from);
}

// The last case-insensitive occurrence of `what` that starts before `before`.
std::size_t FindLastBefore(std::string_view text, std::string_view what, std::size_t before) {
  std::size_t found = npos;
  for (std::size_t p = Find(text, what); p != npos && p < before; p = Find(text, what, p + 1))
    found = p;
  return found;
}

// The body text in the declared or detected encoding, as UTF-8.
std::string DecodeBody(std::string body, std::string_view head) {
  const bool declares = Find(head, "charset") != npos;
  // UTF-8 wins over the legacy tests: those look for loose substrings ("866") that a UTF-8
  // page's head can hold by chance, and recoding UTF-8 bytes would garble the whole text.
  const std::string charset = DeclaredCharset(head);
  if (charset == "utf-8" || charset == "utf8" || base::IsValidUtf8(body)) return RepairUtf8(body);
  // Nothing declared: the detector decides (KOI8-R, CP866 ... pages without a meta tag).
  if (!declares) return AutoRecode(body);
  // Each test on its own, in this order, as pages have always been read.
  if (Find(head, "koi8-r") != npos) body = RecodeToWin(body, SourceCodePage::Koi8R);
  if (Find(head, "866") != npos) body = DosToWin(body);
  if (Find(head, "iso-8859-5") != npos) body = RecodeToWin(body, SourceCodePage::Iso8859_5);
  return base::Cp1251ToUtf8(body);
}

}  // namespace

std::string GetHtmlTitle(std::string_view head) {
  // "<title" counts only as a whole tag name: "<title>", "<TITLE\n>", "<title lang=ru>", not
  // "<titles>".
  for (std::size_t open = Find(head, "<title"); open != npos;
       open = Find(head, "<title", open + 1)) {
    const std::size_t after = open + 6;
    if (after >= head.size()) return {};
    const char c = head[after];
    if (c != '>' && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '/') continue;
    const std::size_t tagEnd = head.find('>', after);
    if (tagEnd == npos) return {};
    const std::size_t close = Find(head, "</title", tagEnd);
    if (close == npos) return {};
    return std::string(head.substr(tagEnd + 1, close - tagEnd - 1));
  }
  return {};
}

std::string GetHtmlAuthor(std::string_view head) {
  const std::size_t word = Find(head, "author");
  if (word == npos) return {};
  const std::size_t meta = FindLastBefore(head, "<meta", word);
  const std::size_t tagEnd = head.find('>', word);
  if (meta == npos || tagEnd == npos) return {};
  const std::string_view tag = head.substr(meta, tagEnd - meta + 1);

  const std::size_t content = Find(tag, "content");
  if (content == npos) return {};
  const std::size_t equals = tag.find('=', content);
  if (equals == npos) return {};
  std::size_t i = equals + 1;
  while (i < tag.size() && tag[i] == ' ') ++i;
  if (i >= tag.size()) return {};

  const char quote = tag[i];
  if (quote == '"' || quote == '\'') {
    const std::size_t start = i + 1;
    const std::size_t end = tag.find(quote, start);
    if (end == npos) return {};
    return std::string(tag.substr(start, end - start));
  }
  // Unquoted: up to the next blank; a value running into the tag's ">" is not read.
  const std::size_t end = tag.find(' ', i + 1);
  if (end == npos) return {};
  return std::string(tag.substr(i, end - i));
}

FileInfo HtmlInfoFromBytes(std::string_view raw) {
  if (raw.empty()) return ErrorInfo();
  // A UTF-16 page is read as the same page in UTF-8: the searches below need ASCII tags.
  const std::optional<std::string> utf16 = DecodeUtf16Text(raw);
  const std::string_view bytes = utf16 ? std::string_view(*utf16) : raw;
  const std::size_t body = Find(bytes, "<body");
  const std::string_view head = body == npos ? std::string_view() : bytes.substr(0, body + 1);

  FileInfo info;
  info.author = CollapseBlanks(DecodeHtmlEntities(base::DecodeLegacyText(GetHtmlAuthor(head))));
  info.title = CollapseBlanks(DecodeHtmlEntities(base::DecodeLegacyText(GetHtmlTitle(head))));

  // References are decoded after the recoding: the characters they name are Unicode, not bytes
  // of the page's code page.
  std::string stripped = HtmlTagsToText(StripCommentsAndScripts(bytes));
  stripped = base::Replace(stripped, "&nbsp;", " ");
  stripped = base::Replace(stripped, "    ", " ");
  info.content = DecodeHtmlEntities(DecodeBody(std::move(stripped), head));
  info.type = "html";
  return info;
}

FileInfo ReadHtmlPage(std::string_view path, const DocumentType&, const ExtractOptions& options) {
  return options.internalHtmlParser ? GetHtmlInfo(path) : GetHtmlInfoIE(path);
}

FileInfo GetHtmlInfo(std::string_view path) {
  bool cut = false;
  auto bytes = base::ReadFileBytes(path, MaxMarkupBytes(), &cut);
  if (!bytes) return ErrorInfo();
  if (cut) TrimPartialCharacter(*bytes);
  FileInfo info = HtmlInfoFromBytes(*bytes);
  info.textCut = cut;
  return info;
}

}  // namespace zyl::extract
