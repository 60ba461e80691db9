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

// Head + one filled block per hit + tail. `link` gives the document link of a hit (a new
// session number each time). A template without its two markers is sent as it is. Besides the
// placeholders of every template, "%Name%" gives the title or, for an untitled hit, its file
// name, and "%Bytes%" the size in bytes or nothing when it is unknown.
std::string BuildResultPage(std::string_view templateText,
                            const std::vector<search::ResultRow>& hits,
                            std::string_view searchWords,
                            const std::function<std::string(const search::ResultRow&)>& link);

// The result page of a refused search: the template's head and tail with `message` (escaped,
// its line breaks kept) where the hits would be. A template without its markers gets the
// message before it.
std::string BuildErrorPage(std::string_view templateText, std::string_view message);

// The MIME type of a path from the [Mime] lines ("text/html;htm"); "" when none matches.
std::string MimeTypeOf(std::string_view path, const std::vector<std::string>& mimeLines);

}  // namespace zyl::server
