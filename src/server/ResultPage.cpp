#include "server/ResultPage.h"

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

std::string BuildResultPage(std::string_view t, const std::vector<search::ResultRow>& hits,
                            std::string_view searchWords,
                            const std::function<std::string(const search::ResultRow&)>& link) {
  const std::size_t p = base::InStr(t, "<template>");
  const std::size_t q = base::InStr(t, "</template>");
  if (p == 0 || q == 0 || q < p + 11) return std::string(t);
  // The one character right after "<template>", the one right before "</template>" and the one
  // right after it are dropped, so that markers on lines of their own leave no empty lines.
  const std::string head = base::Left(t, p - 1);
  const std::string block = base::Mid(t, p + 11, q >= p + 13 ? q - 2 - (p + 11) + 1 : 0);
  const std::string tail = base::Mid(t, q + 12);

  // The last two are our own, so that a template can show every hit sensibly: "%Name%" is the
  // title, or the file name for a document without one (an empty link cannot be clicked);
  // "%Bytes%" is the size in bytes, empty when the size is unknown ("n/a").
  static const std::array<std::string_view, 10> kPlaceholders = {
      "%Filenumber%", "%Title%",    "%Location%", "%Author% ", "%FileSize%",
      "%FileDate%",   "%FileLink%", "%Content%",  "%Name%",    "%Bytes%"};
  std::string items;
  for (std::size_t k = 0; k < hits.size(); ++k) {
    const search::ResultRow& hit = hits[k];
    const std::array<std::string, 10> values = {
        std::to_string(k + 1),        HtmlEscape(hit.title),
        HtmlEscape(hit.location),     HtmlEscape(hit.author),
        HtmlEscape(hit.filesize),     HtmlEscape(hit.modified),
        HtmlEscape(link(hit)),        MakeExcerpt(hit.content, searchWords),
        HtmlEscape(DisplayName(hit)), HtmlEscape(hit.filesize == "n/a" ? "" : hit.filesize)};
    // One pass over the block: a value that happens to contain a placeholder stays as it is.
    std::size_t pos = 0;
    while (pos < block.size()) {
      const std::size_t pct = block.find('%', pos);
      if (pct == std::string::npos) {
        items.append(block, pos);
        break;
      }
      items.append(block, pos, pct - pos);
      bool replaced = false;
      for (std::size_t i = 0; i < kPlaceholders.size(); ++i) {
        if (std::string_view(block).substr(pct).starts_with(kPlaceholders[i])) {
          items += values[i];
          pos = pct + kPlaceholders[i].size();
          replaced = true;
          break;
        }
      }
      if (!replaced) {
        items += '%';
        pos = pct + 1;
      }
    }
  }
  return head + items + tail;
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
