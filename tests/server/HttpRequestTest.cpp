#include <gtest/gtest.h>

#include "server/HttpReply.h"
#include "server/HttpRequest.h"

namespace zyl::server {
namespace {

TEST(ParseRequest, GetTargetsAndCaseOfNames) {
  Request r = ParseRequest("GET /?ACTION=HELLO HTTP/1.0\r\nHost: x\r\n\r\n");
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(GetQueryVar(r, "action"), "HELLO");
  r = ParseRequest("get /?action=findfile&content=a+b HTTP/1.1\r\n\r\n");
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(GetQueryVar(r, "content"), "a b");
  EXPECT_EQ(GetQueryVar(r, "missing"), "");
  // No query: no variable table at all.
  r = ParseRequest("GET / HTTP/1.0\r\n\r\n");
  EXPECT_FALSE(r.vars.has_value());
  // A piece without "=" spoils the whole table.
  r = ParseRequest("GET /?a=1&b HTTP/1.0\r\n\r\n");
  EXPECT_FALSE(r.vars.has_value());
  // A request line of one word.
  r = ParseRequest("GARBAGE\r\n\r\n");
  EXPECT_FALSE(r.vars.has_value());
}

TEST(ParseRequest, PostBodyLineAfterTheEmptyLine) {
  const Request r = ParseRequest(
      "POST / HTTP/1.0\r\nContent-Length: 38\r\n\r\naction=getfile&location=/a+b.txt&x=1");
  EXPECT_EQ(GetQueryVar(r, "action"), "getfile");
  EXPECT_EQ(GetQueryVar(r, "location"), "/a b.txt");
  // Other methods get no variables.
  EXPECT_FALSE(ParseRequest("PUT /?action=hello HTTP/1.0\r\n\r\n").vars.has_value());
}

TEST(ParseQueryString, ValuesStopAtASecondEquals) {
  const auto vars = ParseQueryString("a=b=c&d=");
  ASSERT_TRUE(vars);
  ASSERT_EQ(vars->size(), 2u);
  EXPECT_EQ((*vars)[0].second, "b");
  EXPECT_EQ((*vars)[1].second, "");
  EXPECT_TRUE(ParseQueryString("")->empty());
}

TEST(UrlDecodeText, PlusEscapesAndLegacyBytes) {
  EXPECT_EQ(UrlDecodeText("%2B"), "+");
  EXPECT_EQ(UrlDecodeText("x%"), "x%");
  EXPECT_EQ(UrlDecodeText("a+b%20c"), "a b c");
  // UTF-8 escapes from today's browsers, Windows-1251 escapes from old pages.
  EXPECT_EQ(UrlDecodeText("%D0%BE%D1%82%D1%87%D0%B5%D1%82"), "отчет");
  EXPECT_EQ(UrlDecodeText("%EE%F2%F7%E5%F2"), "отчет");
  // An escape reads hex digits up to the first other character and always takes two.
  EXPECT_EQ(UrlDecodeText("%4g!"), std::string("\x04!"));
}

TEST(EncodeLinks, SpacesAndComponents) {
  EXPECT_EQ(EncodeSpaces("/My Docs/a.txt"), "/My+Docs/a.txt");
  const std::string nasty = "/docs/a&b #1+50%.txt";
  EXPECT_EQ(UrlEncodeComponent(nasty), "/docs/a%26b%20%231%2B50%25.txt");
}

TEST(BuildReply, ExactTexts) {
  EXPECT_EQ(BuildReply({"", "text/html", "<p>"}),
            "HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: text/html\r\n\r\n<p>");
  EXPECT_EQ(BuildReply({"200", "", ""}), "HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: \r\n\r\n");
  EXPECT_EQ(BuildReply({"403", "x", "y"}),
            "HTTP/1.1 403 Access forbidden\r\nServer:\r\nContent-Type: text/html\r\n\r\n"
            "403 Access forbidden\r\n\r\n");
  EXPECT_EQ(BuildReply({"500", "", "x"}), "");
}

TEST(FrameRequest, WaitsForHeaderAndBodyAndRefusesWhatCannotFit) {
  using State = RequestFrame::State;
  const auto frame = [](std::string_view bytes, std::size_t max = 1000) {
    const RequestFrame f = FrameRequest(bytes, max);
    return std::pair{f.state, f.length};
  };
  EXPECT_EQ(frame("GET / HTTP/1.0\r\n"), std::pair(State::Incomplete, std::size_t{0}));
  EXPECT_EQ(frame("GET / HTTP/1.0\r\n\r\n"), std::pair(State::Complete, std::size_t{18}));
  const std::string post = "POST / HTTP/1.0\r\ncontent-length: 5\r\n\r\nab";
  EXPECT_EQ(frame(post).first, State::Incomplete);
  EXPECT_EQ(frame(post + "cde"), std::pair(State::Complete, post.size() + 3));
  EXPECT_EQ(frame("GET / HTTP/1.0\n\nrest"), std::pair(State::Complete, std::size_t{16}));
  // Refused once the header is in, without waiting for a body that could never be taken.
  EXPECT_EQ(frame("POST / HTTP/1.0\r\nContent-Length: 990\r\n\r\n").first, State::Refused);
  EXPECT_EQ(frame(post + "cde", post.size() + 2).first, State::Refused);
  for (const char* absurd : {"99999999999999999999999", "-5", "5x", "", "0x10", "1e3"}) {
    EXPECT_EQ(frame("POST / HTTP/1.0\r\nContent-Length: " + std::string(absurd) + "\r\n\r\n").first,
              State::Refused)
        << absurd;
  }
  EXPECT_EQ(frame("POST / HTTP/1.0\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab").first,
            State::Refused);
  const std::string twice = "POST / HTTP/1.0\r\nContent-Length:  2 \r\nContent-Length: 2\r\n\r\nab";
  EXPECT_EQ(frame(twice + "junk"), std::pair(State::Complete, twice.size()));
  // A header that has not ended within the limit.
  EXPECT_EQ(frame(std::string(1001, 'a')).first, State::Refused);
  EXPECT_EQ(frame(std::string(1000, 'a')).first, State::Incomplete);
}

}  // namespace
}  // namespace zyl::server
