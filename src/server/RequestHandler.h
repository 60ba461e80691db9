// What the connection layer asks of the document server for each complete request.
#pragma once

#include <functional>
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

// Takes the reply to one request. Callable from any thread, once; the connection layer carries
// the reply back to its own thread, and drops it when the connection has gone meanwhile.
using ReplyCallback = std::function<void(ReplyPlan)>;

class RequestHandler {
 public:
  virtual ~RequestHandler() = default;
  // Answers at once, on the calling thread, with the complete request bytes.
  virtual ReplyPlan Handle(std::string_view request, const ServerEndpoint& endpoint) = 0;
  // What the connection layer calls, on its own thread: a handler that does slow work (a
  // search) starts it elsewhere and returns, so the layer goes on serving other connections,
  // and hands the reply to `reply` when it is ready. By default it answers through Handle
  // before returning.
  virtual void HandleAsync(std::string request, const ServerEndpoint& endpoint,
                           ReplyCallback reply) {
    reply(Handle(request, endpoint));
  }
};

}  // namespace zyl::server
