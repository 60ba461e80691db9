// What the connection layer asks of the document server for each complete request.
#pragma once

#include <string>
#include <string_view>

namespace zyl::server {

// The listening socket's address facts that pages and links carry.
struct ServerEndpoint {
  std::string address;  // local IP address the browser reached, e.g. "127.0.0.1"
  int port = 0;
};

// A reply to send: `text` first, then, when `streamFile` is set, that file's bytes read in
// chunks (a document is never loaded whole; only a regular file, and a final symbolic link
// is not followed, so anything else sends nothing after the text). An empty reply (no text, no
// file) means the request gets no answer; the connection is then closed.
struct ReplyPlan {
  std::string text;
  std::string streamFile;
  bool empty() const { return text.empty() && streamFile.empty(); }
};

class RequestHandler {
 public:
  virtual ~RequestHandler() = default;
  // Called on the server's one thread, one request at a time, with the complete request bytes.
  virtual ReplyPlan Handle(std::string_view request, const ServerEndpoint& endpoint) = 0;
};

}  // namespace zyl::server
