// The document server's small HTTP dialect: the request line and a URL-encoded variable list
// are interpreted; nothing else of a request matters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zyl::server {

using QueryVars = std::vector<std::pair<std::string, std::string>>;

struct Request {
  std::string method;             // first word of the request line, upper-cased
  std::string queryString;        // the target after its first "?"
  std::optional<QueryVars> vars;  // no table when the request has no (valid) variables
};

Request ParseRequest(std::string_view requestText);
// nullopt when a piece has no "=".
std::optional<QueryVars> ParseQueryString(std::string_view text);
// "+" becomes a blank, "%hh" the byte hh; the bytes are then read by base::DecodeLegacyText
// (UTF-8 from today's browsers, Windows-1251 from old pages).
std::string UrlDecodeText(std::string_view text);
// The value of the first variable whose name equals `name` without regard to case; "" when
// there is none or no table.
std::string GetQueryVar(const Request& request, std::string_view name);

// Every blank replaced by "+".
std::string EncodeSpaces(std::string_view text);
// Percent-encoding of a link parameter: everything but unreserved characters is escaped, so
// locations with "&", "#", "+", "%" or blanks survive the round trip through a link.
std::string UrlEncodeComponent(std::string_view text);

// What the bytes received so far on a connection make of a request: the header up to its
// empty line plus the body its Content-Length announces.
struct RequestFrame {
  enum class State {
    Incomplete,  // wait for more bytes
    Complete,    // the first `length` bytes are the request
    Refused,     // it cannot become a request of at most the allowed size: close at once
  };
  State state = State::Incomplete;
  std::size_t length = 0;
};
// A request is refused as soon as it is known to exceed `maxBytes` (a header that has not ended
// within them, or a Content-Length announcing more), and when its Content-Length is not a
// plain decimal number or is given twice with different values.
RequestFrame FrameRequest(std::string_view buffer, std::size_t maxBytes);

}  // namespace zyl::server
