// The document server's TCP side: one listening socket and its connections, all served on the
// calling thread's Qt event loop. Each connection carries exactly one request and one reply;
// the closing of the connection ends the reply, since replies carry no length header.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "server/RequestHandler.h"

namespace zyl::server {

struct ConnectionLimits {
  // A connection on which nothing arrives and nothing is sent for this long is closed, so
  // clients that never finish a request (or never read the reply) cannot pin sockets forever.
  int idleTimeoutMs = 30'000;
  // The whole request (header and body) must have arrived within this time of the connection
  // being accepted, however steadily its bytes trickle in; otherwise the connection is closed.
  int requestTimeoutMs = 10'000;
  // A request whose header and body have not completed within this many bytes is refused.
  std::size_t maxRequestBytes = 64 * 1024;
  // Connections open at once. At the limit the listener stops accepting (new clients wait in
  // the system's queue) until one closes; a connection that has been sending its request for
  // longer than `evictAfterMs` then makes way for them. Lowered to what the process's
  // descriptor limit allows.
  int maxConnections = 1024;
  int evictAfterMs = 200;
  // A streamed file is read this much at a time, and the next piece only once the socket has
  // taken the previous one, so a large document never sits in memory.
  std::size_t streamChunkBytes = 64 * 1024;
};

// Serves connections for one RequestHandler. Lives on one thread, which must run a Qt event
// loop (a QCoreApplication must exist); the handler's HandleAsync is called on that thread, one
// request at a time, and its replies may come back from any thread while other connections
// are served. The header is free of Qt so that callers need not include it.
class ConnectionLayer {
 public:
  explicit ConnectionLayer(RequestHandler& handler, ConnectionLimits limits = {});
  ~ConnectionLayer();
  ConnectionLayer(const ConnectionLayer&) = delete;
  ConnectionLayer& operator=(const ConnectionLayer&) = delete;

  // Starts listening on `port` (0 asks the system for a free one) at `bindAddress` (an IP
  // address or "localhost"; "" means every interface). Returns "" on success, else a message
  // that says which port and why. Listening again first closes the previous listener.
  std::string Listen(int port, std::string_view bindAddress);
  // Closes the listener and every connection at once (replies under way are cut off).
  void Close();

  bool IsListening() const;
  // The bound port (the real one after Listen(0)); 0 when not listening.
  int Port() const;
  // The address the link to the search page uses: the bind address, or 127.0.0.1 when
  // listening on every interface.
  std::string LinkAddress() const;
  // "http://" + LinkAddress() + ":" + Port() + "/?action=hello"
  std::string SearchPageLink() const;

  // Connections currently open. Safe to read from any thread.
  std::size_t OpenConnections() const;
  // The most connections that were ever open at once. Safe to read from any thread.
  std::size_t PeakConnections() const;
  // The most reply bytes one connection ever held for sending at once: its reply text or one
  // chunk of a streamed file, however large the file. Safe to read from any thread.
  std::size_t PeakQueuedBytes() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The machine's host name, as a server window shows it.
std::string LocalHostName();

struct ServerOptions {
  int port = 80;
  std::string bindAddress;  // "" = every interface
  ConnectionLimits limits;
  // Told the search-page link once the port is bound (the app prints it).
  std::function<void(const std::string& link)> printLink;
  // Told the running layer once the port is bound, before serving starts; for embedding and
  // tests (the layer's counters may be read from other threads, Port() too from then on).
  std::function<void(const ConnectionLayer& layer)> onStarted;
};

// Runs the document server on the calling thread without any window: binds, reports the
// link, serves until SIGINT, SIGTERM or RequestServerStop(), closes every socket and returns
// 0. A port that cannot be bound writes a message to `err` and returns 1. Creates the
// QCoreApplication when none exists. One server run per process at a time.
int RunDocumentServer(RequestHandler& handler, const ServerOptions& options, std::ostream& err);

// Asks a running RunDocumentServer to stop, exactly as SIGTERM would. Callable from any thread;
// does nothing when no server runs.
void RequestServerStop();

}  // namespace zyl::server
