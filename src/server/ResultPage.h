// The result page of a browser search: the template's repeated block filled once per hit.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ResultList.h"

namespace zyl::server {

std::string HtmlEscape(std::string_view text);

// Up to 300 characters of the hit's content around the first search word found in it (from 200
// characters before it), blanks tidied, line breaks as "<br>", the word in red. Texts from the
// index are HTML-escaped before the page's own markup is added.
std::string MakeExcerpt(std::string_view content, std::string_view searchWords);

// The link that fetches a hit through "getfile"; every parameter is percent-encoded.
std::string DocumentLink(std::string_view host, int port, std::string_view location,
                         std::string_view indexName, int session);

// Which of the found rows one result page shows, and where its neighbours are.
struct PageSlice {
  std::size_t first = 0;  // index of the first row shown
  std::size_t count = 0;  // rows shown
  std::size_t page = 1;   // this page's number, from 1
  std::size_t pages = 1;  // pages in all (1 when nothing was found)
};

// The slice of `total` rows that page `pageVar` shows with `perPage` rows a page (0 = all on
// one page). A page number that is missing, not a number or below 1 means the first page; one
// beyond the last means the last.
PageSlice SlicePage(std::size_t total, std::size_t perPage, std::string_view pageVar);

// Head + one filled block per hit shown + tail. `link` gives the document link of a hit (a new
// session number each time); `excerptOf` gives the "%Content%" of the hit at an index of
// `hits` (MakeExcerpt of its text), asked only for the hits the page shows. A template without its
// two markers is sent as it is. Besides the placeholders of every template, "%Name%" gives the
// title or, for an untitled hit, its file name, and
// "%Bytes%" the size in bytes or nothing when it is unknown. Anywhere in the template,
// "%Found%" is the number of hits, "%First%" and "%Last%" the numbers of the first and last
// shown (0 when none), "%PrevLink%" and "%NextLink%" the links to the neighbouring pages, ""
// when there is none (`pageLink` makes the link to a page number).
std::string BuildResultPage(std::string_view templateText,
                            const std::vector<search::ResultRow>& hits,
                            const std::function<std::string(const search::ResultRow&)>& link,
                            const std::function<std::string(std::size_t)>& excerptOf,
                            const PageSlice& page = {0, std::string::npos, 1, 1},
                            const std::function<std::string(std::size_t)>& pageLink = {});

// The result page of a refused search: the template's head and tail with `message` (escaped,
// its line breaks kept) where the hits would be. A template without its markers gets the
// message before it.
std::string BuildErrorPage(std::string_view templateText, std::string_view message);

// The MIME type of a path from the [Mime] lines ("text/html;htm"); "" when none matches.
std::string MimeTypeOf(std::string_view path, const std::vector<std::string>& mimeLines);

}  // namespace zyl::server
