#include "server/ResultPage.h"

#include <algorithm>
#include <array>

#include "base/Paths.h"
#include "base/Strings.h"
#include "server/HttpRequest.h"

namespace zyl::server {

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {
std::string TidyBlanks(std::string_view text) {
  return base::Replace(base::Replace(text, "    ", " "), "  ", " ");
}
std::string TidyLineBreaks(std::string_view text) {
  std::string s = base::Replace(text, "\r\n\r\n\r\n", "\r\n");
  s = base::Replace(s, "\r\n\r\n", "\r\n");
  return base::Replace(s, "\r\n", "<br>\r\n");
}
// The title, or for an untitled document the file part of its location (the whole location
// when that part is empty, as for a web address ending in "/").
std::string DisplayName(const search::ResultRow& hit) {
  if (!base::TrimView(hit.title).empty()) return hit.title;
  std::string name = search::SplitLocation(hit.location, hit.type).file;
  return name.empty() ? hit.location : name;
}
}  // namespace

std::string MakeExcerpt(std::string_view contentIn, std::string_view searchWords) {
  // Texts written on this system end their lines with LF alone; they count as line breaks too.
  const std::string content = base::Replace(
      base::Replace(base::Replace(contentIn, "\r\n", "\n"), "\r", "\n"), "\n", "\r\n");
  for (const std::string& word : base::Split(searchWords, " ")) {
    const std::size_t p = base::InStr(content, word);
    if (p == 0) continue;
    const std::size_t start = p > 200 ? p - 200 : 1;
    const std::string excerpt = TidyBlanks(base::Mid(content, start, 300));
    if (word.empty()) return TidyLineBreaks(HtmlEscape(excerpt));
    // The word is marked in the text itself and the pieces around it escaped afterwards:
    // marking the escaped text would find "amp" or "lt" inside the entities and break them.
    const std::string marked = "<Font Color=Red>" + HtmlEscape(word) + "</Font>";
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = excerpt.find(word); at != std::string::npos;
         at = excerpt.find(word, from)) {
      out += HtmlEscape(std::string_view(excerpt).substr(from, at - from));
      out += marked;
      from = at + word.size();
    }
    out += HtmlEscape(std::string_view(excerpt).substr(from));
    return TidyLineBreaks(out);
  }
  return TidyLineBreaks(HtmlEscape(TidyBlanks(base::Left(content, 300))));
}

std::string DocumentLink(std::string_view host, int port, std::string_view location,
                         std::string_view indexName, int session) {
  return "http://" + std::string(host) + ":" + std::to_string(port) +
         "/?action=getfile&location=" + UrlEncodeComponent(location) +
         "&indexname=" + UrlEncodeComponent(indexName) + "&session=" + std::to_string(session);
}

PageSlice SlicePage(std::size_t total, std::size_t perPage, std::string_view pageVar) {
  if (perPage == 0 || total == 0) return {0, total, 1, 1};
  const std::size_t pages = (total + perPage - 1) / perPage;
  std::size_t page = 1;
  const std::string_view digits = base::TrimView(pageVar);
  if (!digits.empty() && digits.size() <= 9 &&
      digits.find_first_not_of("0123456789") == std::string_view::npos)
    page = std::clamp<std::size_t>(static_cast<std::size_t>(std::stoul(std::string(digits))), 1,
                                   pages);
  else if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos)
    page = pages;  // more digits than any real page number has
  const std::size_t first = (page - 1) * perPage;
  return {first, std::min(perPage, total - first), page, pages};
}

namespace {

// Writes `text` with every placeholder of `names` replaced by the value at the same place, in
// one pass: a value that happens to contain a placeholder stays as it is.
template <std::size_t N>
void Fill(std::string& out, std::string_view text, const std::array<std::string_view, N>& names,
          const std::array<std::string, N>& values) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t pct = text.find('%', pos);
    if (pct == std::string_view::npos) {
      out.append(text, pos);
      break;
    }
    out.append(text, pos, pct - pos);
    bool replaced = false;
    for (std::size_t i = 0; i < N; ++i) {
      if (text.substr(pct).starts_with(names[i])) {
        out += values[i];
        pos = pct + names[i].size();
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      out += '%';
      pos = pct + 1;
    }
  }
}

// What the whole page says about the list: how many were found, which are shown, and the
// links to the pages before and after this one.
constexpr std::array<std::string_view, 5> kPagePlaceholders = {"%Found%", "%First%", "%Last%",
                                                               "%PrevLink%", "%NextLink%"};

}  // namespace

std::string BuildResultPage(std::string_view t, const std::vector<search::ResultRow>& hits,
                            const std::function<std::string(const search::ResultRow&)>& link,
                            const std::function<std::string(std::size_t)>& excerptOf,
                            const PageSlice& page,
                            const std::function<std::string(std::size_t)>& pageLink) {
  const std::size_t p = base::InStr(t, "<template>");
  const std::size_t q = base::InStr(t, "</template>");
  if (p == 0 || q == 0 || q < p + 11) return std::string(t);
  // The one character right after "<template>", the one right before "</template>" and the one
  // right after it are dropped, so that markers on lines of their own leave no empty lines.
  const std::string head = base::Left(t, p - 1);
  const std::string block = base::Mid(t, p + 11, q >= p + 13 ? q - 2 - (p + 11) + 1 : 0);
  const std::string tail = base::Mid(t, q + 12);

  const std::size_t first = std::min(page.first, hits.size());
  const std::size_t end = first + std::min(page.count, hits.size() - first);
  const bool paged = pageLink && end > first;
  const std::array<std::string, 5> pageValues = {
      std::to_string(hits.size()), std::to_string(end > first ? first + 1 : 0), std::to_string(end),
      HtmlEscape(paged && page.page > 1 ? pageLink(page.page - 1) : std::string()),
      HtmlEscape(paged && page.page < page.pages ? pageLink(page.page + 1) : std::string())};

  // The last two of a hit's own are ours, so that a template can show every hit sensibly:
  // "%Name%" is the title, or the file name for a document without one (an empty link cannot
  // be clicked); "%Bytes%" is the size in bytes, empty when the size is unknown ("n/a").
  static const std::array<std::string_view, 15> kPlaceholders = {"%Filenumber%",
                                                                 "%Title%",
                                                                 "%Location%",
                                                                 "%Author% ",
                                                                 "%FileSize%",
                                                                 "%FileDate%",
                                                                 "%FileLink%",
                                                                 "%Content%",
                                                                 "%Name%",
                                                                 "%Bytes%",
                                                                 kPagePlaceholders[0],
                                                                 kPagePlaceholders[1],
                                                                 kPagePlaceholders[2],
                                                                 kPagePlaceholders[3],
                                                                 kPagePlaceholders[4]};
  std::string out;
  Fill(out, head, kPagePlaceholders, pageValues);
  for (std::size_t k = first; k < end; ++k) {
    const search::ResultRow& hit = hits[k];
    const std::array<std::string, 15> values = {
        std::to_string(k + 1),
        HtmlEscape(hit.title),
        HtmlEscape(hit.location),
        HtmlEscape(hit.author),
        HtmlEscape(hit.filesize),
        HtmlEscape(hit.modified),
        HtmlEscape(link(hit)),
        excerptOf(k),
        HtmlEscape(DisplayName(hit)),
        HtmlEscape(hit.filesize == "n/a" ? "" : hit.filesize),
        pageValues[0],
        pageValues[1],
        pageValues[2],
        pageValues[3],
        pageValues[4]};
    Fill(out, block, kPlaceholders, values);
  }
  Fill(out, tail, kPagePlaceholders, pageValues);
  return out;
}

std::string BuildErrorPage(std::string_view t, std::string_view message) {
  std::string text = base::Replace(base::Replace(message, "\r\n", "\n"), "\r", "\n");
  text = "<p class=\"error\">" + base::Replace(HtmlEscape(text), "\n", "<br>\r\n") + "</p>\r\n";
  // The same cut as the result page's, so the message sits where the list would.
  const std::size_t p = base::InStr(t, "<template>");
  const std::size_t q = base::InStr(t, "</template>");
  if (p == 0 || q == 0 || q < p + 11) return text + std::string(t);
  return base::Left(t, p - 1) + text + base::Mid(t, q + 12);
}

std::string MimeTypeOf(std::string_view path, const std::vector<std::string>& mimeLines) {
  const std::string suffix = ";" + base::FileExtension(path);
  for (const std::string& line : mimeLines)
    if (line.size() > suffix.size() && line.ends_with(suffix))
      return line.substr(0, line.size() - suffix.size());
  return {};
}

}  // namespace zyl::server
