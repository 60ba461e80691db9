#include "indexer/WebClass.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <utility>

#include "base/Cp1251.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/html/HtmlGumboReader.h"

namespace zyl::indexer {

namespace {

int HexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return 0;
}

// A charset name as the page reader takes it from a declaration.
bool IsCharsetName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
           c == ':';
  });
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The page as UTF-8 by the charset the HTTP header names, which outranks the page's own
// declaration as in a browser; nullopt when the header names none, or when the page starts
// with a byte-order mark, which outranks both. The page reader's decoder follows the first
// declaration in the page, so the header's is put in front of the page as one.
std::optional<std::string> DecodeByHeader(std::string_view body, std::string_view contentType) {
  const std::string charset = CharsetOfContentType(contentType);
  if (!IsCharsetName(charset) || body.starts_with(kUtf8Bom) || body.starts_with("\xFF\xFE") ||
      body.starts_with("\xFE\xFF"))
    return std::nullopt;
  const std::string declaration = "<meta charset=" + charset + ">";
  std::string text = extract::DecodeHtmlBytes(declaration + std::string(body));
  // A charset that does not keep ASCII as it is (UTF-16 named without a byte-order mark) has
  // garbled the declaration: the page reader's own rules apply then.
  if (!text.starts_with(declaration)) return std::nullopt;
  return text.substr(declaration.size());
}

}  // namespace

void ReadHtmlPage(WebPage& page, std::string_view body) {
  extract::HtmlPageOptions options;
  options.authorExactCase = true;  // a web page's author meta must be named exactly "Author"
  extract::HtmlPage html;
  // The length of the serialised document is taken as the number of characters of the decoded
  // page: what a browser would serialise is that text, give or take the normalisation of tags.
  if (const auto text = DecodeByHeader(body, page.contentType)) {
    // Handed on with a UTF-8 byte-order mark, which outranks the page's own declaration.
    html = extract::ParseHtmlPage(std::string(kUtf8Bom) + *text, options);
    page.serialisedLength = static_cast<std::int64_t>(base::CodePointCount(*text));
  } else {
    html = extract::ParseHtmlPage(body, options);
    page.serialisedLength =
        static_cast<std::int64_t>(base::CodePointCount(extract::DecodeHtmlBytes(body)));
  }
  page.title = std::move(html.title);
  page.author = std::move(html.author);
  page.text = std::move(html.text);

  // Links are relative to the page's base element when it has one.
  std::string base = page.url;
  if (!html.baseHref.empty()) base = ResolveUrl(page.url, html.baseHref).value_or(page.url);
  page.links.clear();
  page.links.reserve(html.links.size());
  for (const std::string& href : html.links)
    if (auto link = ResolveUrl(base, href)) page.links.push_back(std::move(*link));
}

WebClass::WebClass(FetchLimits limits) : fetcher_(limits) {
  fetcher_.SetAbortCheck([this] { return stopRequested && stopRequested(); });
}

std::string WebClass::UrlDecode(std::string_view address) {
  const std::string text = base::Replace(address, "+", " ");
  std::string out;
  std::string escaped;  // bytes of the current run of escapes
  auto flush = [&] {
    // Escaped bytes are outside text: UTF-8 when they form it, Windows-1251 otherwise.
    out += base::DecodeLegacyText(escaped);
    escaped.clear();
  };
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const char32_t c = base::DecodeUtf8At(text, pos);
    // The last character is never taken as the start of an escape.
    if (c == '%' && pos < text.size()) {
      std::size_t after = pos;
      int code = 0;
      for (int digit = 0; digit < 2 && after < text.size(); ++digit)
        code = code * 16 + HexValue(base::DecodeUtf8At(text, after));
      // A code of 0 would put a NUL into the address, which nothing could load; such an
      // escape stays as written.
      if (code != 0) {
        escaped += static_cast<char>(code);
        pos = after;
        continue;
      }
    }
    if (!escaped.empty()) flush();
    out.append(text, start, pos - start);
  }
  if (!escaped.empty()) flush();
  return out;
}

std::string WebClass::GetUrlFileExt(std::string_view address) {
  const std::size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string_view ext = address.substr(dot + 1);
  ext = ext.substr(0, ext.find('?'));
  return base::LCase(ext);
}

bool WebClass::StopNow() {
  if (!stopped_ && stopRequested && stopRequested()) stopped_ = true;
  return stopped_;
}

WebPage WebClass::OpenDoc(std::string_view address) {
  WebPage page;
  page.address = UrlDecode(address);
  FetchResult fetched = fetcher_.Get(page.address);
  page.url = WithoutFragment(fetched.finalUrl);
  page.status = fetched.status;
  page.contentType = std::move(fetched.contentType);
  page.modified = std::move(fetched.modified);
  if (!fetched.ok) {
    page.error = std::move(fetched.error);
  } else if (fetched.status < 200 || fetched.status > 299) {
    page.error = "HTTP status " + std::to_string(fetched.status);
  } else {
    page.isHtml = IsHtmlResponse(page.contentType, fetched.body);
    page.loaded = true;
    if (page.isHtml) ReadHtmlPage(page, fetched.body);
  }
  if (page.loaded) {
    if (onDocumentOpen) onDocumentOpen(page);
  } else if (onLoadFailed && !StopNow()) {
    onLoadFailed(page);
  }
  return page;
}

void WebClass::RegisterDocument(const WebPage& page) {
  // Only HTML documents become rows; anything else a link leads to is not indexed.
  if (!page.loaded || !page.isHtml) return;
  if (!visited_.insert(page.url).second) return;
  if (onExploreNewDocument) onExploreNewDocument(page);
  if (onYield) onYield();
}

std::vector<std::string> WebClass::FollowedLinks(const WebPage& page) const {
  const std::vector<std::string> extensions = base::Split(ritrievalFilesExt_, ";");
  std::vector<std::string> result;
  for (const std::string& link : page.links) {
    const std::string ext = GetUrlFileExt(link);
    if (std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
      result.push_back(link);
    if (exploreDefault_ && !link.empty() && link.back() == '/') result.push_back(link);
  }
  return result;
}

std::vector<std::string> WebClass::GetWebLinks(std::string_view address) {
  if (crawling_) {
    if (auto hit = linkCache_.find(std::string(address)); hit != linkCache_.end())
      return hit->second;
  }
  const WebPage page = OpenDoc(address);
  RegisterDocument(page);
  std::vector<std::string> links = FollowedLinks(page);
  if (crawling_ && !stopped_) linkCache_.emplace(std::string(address), links);
  return links;
}

void WebClass::Explore(const std::string& address, std::int32_t depth) {
  // Depth-first like a recursive walk, with an explicit stack so that a deep crawl cannot
  // exhaust the thread's stack.
  struct Level {
    std::string address;
    std::int32_t depth;
    std::vector<std::string> links;
    std::size_t next = 0;
  };
  std::vector<Level> stack;
  auto finished = [this](const std::string& a, std::int32_t d) {
    auto [it, added] = exploredAt_.emplace(a, d);
    if (!added) it->second = std::min(it->second, d);
  };
  auto enter = [&](const std::string& a, std::int32_t d) {
    if (auto it = exploredAt_.find(a); it != exploredAt_.end() && it->second <= d) return;
    if (StopNow()) return;
    std::vector<std::string> links = GetWebLinks(a);
    if (stopped_) return;
    if (links.empty() || d >= maxExploreDepth_) {
      finished(a, d);
      return;
    }
    stack.push_back({a, d, std::move(links)});
  };

  enter(address, depth);
  while (!stack.empty() && !stopped_) {
    Level& top = stack.back();
    if (top.next == top.links.size()) {
      finished(top.address, top.depth);
      stack.pop_back();
      continue;
    }
    const std::string link = top.links[top.next++];
    enter(link, top.depth + 1);  // may grow the stack: `top` is not used afterwards
  }
}

void WebClass::GetSubWebPages(std::string_view start) {
  stopped_ = false;
  visited_.clear();
  linkCache_.clear();
  exploredAt_.clear();
  crawling_ = true;
  Explore(std::string(start), 0);
  crawling_ = false;
  linkCache_.clear();
  exploredAt_.clear();
  if (onExploreComplete) onExploreComplete();
}

extract::FileInfo GetWebPageInfo(const WebPage& page) {
  extract::FileInfo info;
  info.author = page.author;
  info.content = page.text;
  info.location = page.url;
  info.modified = page.modified;
  info.title = page.title;
  info.type = "html";
  info.filesize = static_cast<std::int32_t>(
      std::min<std::int64_t>(page.serialisedLength, std::numeric_limits<std::int32_t>::max()));
  return info;
}

}  // namespace zyl::indexer
