#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "server/ConnectionLayer.h"
#include "support/TestSupport.h"

namespace zyl::server {
namespace {

using namespace std::chrono_literals;

// Answers through a function and remembers what it saw. The server runs on the test's main
// thread, so the records are read there without locking once the server has returned.
struct Handler : RequestHandler {
  explicit Handler(std::function<ReplyPlan(std::string_view)> r) : reply(std::move(r)) {}
  ReplyPlan Handle(std::string_view request, const ServerEndpoint& endpoint) override {
    requests.emplace_back(request);
    endpoints.push_back(endpoint);
    return reply(request);
  }
  std::function<ReplyPlan(std::string_view)> reply;
  std::vector<std::string> requests;
  std::vector<ServerEndpoint> endpoints;
};

// A blocking client socket on 127.0.0.1 that gives up waiting after 5 s.
struct Client {
  explicit Client(int port, int receiveBuffer = 0) : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
    const timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    if (receiveBuffer) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(int));
    sockaddr_in addr{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    connected = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~Client() { ::close(fd); }
  void Send(std::string_view bytes) { ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  // At least `atLeast` bytes or all up to the server's close (`closed`; false on time-out).
  std::string Read(std::size_t atLeast = std::string::npos) {
    std::string data;
    char buf[16384];
    ssize_t n = 0;
    while (data.size() < atLeast && (n = ::recv(fd, buf, sizeof buf, 0)) > 0) data.append(buf, n);
    closed = data.size() < atLeast && (n == 0 || errno == ECONNRESET);
    return data;
  }
  int fd;
  bool connected = false;
  bool closed = false;
};

// Runs the server on this thread while `client(port, layer)` runs on a thread of its own,
// and stops it when the client is done. Returns the server's exit status.
int ServeWhile(RequestHandler& handler, ServerOptions options,
               const std::function<void(int, const ConnectionLayer&)>& client) {
  std::thread clientThread;
  options.onStarted = [&](const ConnectionLayer& layer) {
    clientThread = std::thread([&client, &layer] {
      client(layer.Port(), layer);
      RequestServerStop();
    });
  };
  std::ostringstream err;
  const int status = RunDocumentServer(handler, options, err);
  if (clientThread.joinable()) clientThread.join();
  return status;
}

ServerOptions Options(int idleTimeoutMs = 10'000, std::string bindAddress = "") {
  ServerOptions options;
  options.port = 0;
  options.bindAddress = std::move(bindAddress);
  options.limits.idleTimeoutMs = idleTimeoutMs;
  return options;
}

const std::string kGet = "GET /?action=x HTTP/1.0\r\nHost: a\r\n\r\n";

TEST(ConnectionLayer, RepliesByteExactThenCloses) {
  std::string reply = "HTTP/1.0 200 Ok\r\n\r\n";
  for (int i = 0; i < 300'000; ++i) reply += static_cast<char>(i * 7 % 256);  // NULs included
  Handler handler([&](std::string_view) { return ReplyPlan{reply, ""}; });
  int port = 0;
  const int status = ServeWhile(handler, Options(), [&](int p, const ConnectionLayer&) {
    port = p;
    Client c(port), halfClosed(port);
    c.Send(kGet);
    EXPECT_TRUE(c.Read() == reply);
    EXPECT_TRUE(c.closed);
    // A client may close its sending side once the request is out.
    halfClosed.Send(kGet);
    ::shutdown(halfClosed.fd, SHUT_WR);
    EXPECT_TRUE(halfClosed.Read() == reply);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(handler.requests, (std::vector<std::string>{kGet, kGet}));
  // Listening on every interface, an IPv4 client is told its plain IPv4 address.
  EXPECT_EQ(handler.endpoints[0].address, "127.0.0.1");
  EXPECT_EQ(handler.endpoints[0].port, port);
}

TEST(ConnectionLayer, BuffersEachRequestUntilCompleteAndAnswersItOnce) {
  Handler handler([](std::string_view r) { return ReplyPlan{"re " + std::string(r), ""}; });
  const std::string post = "POST / HTTP/1.0\r\nContent-Length: 14\r\n\r\naction=getfile";
  ServeWhile(handler, Options(), [&](int port, const ConnectionLayer&) {
    // The body arrives after a pause and is followed by bytes that are not part of it.
    Client body(port);
    body.Send(post.substr(0, 40));
    std::this_thread::sleep_for(150ms);
    body.Send(post.substr(40) + "junk");
    EXPECT_EQ(body.Read(), "re " + post);
    // Ten connections each send half a request, then complete it in reverse order.
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 10; ++i) {
      clients.push_back(std::make_unique<Client>(port));
      clients.back()->Send("GET /?n=" + std::to_string(i) + " HTTP/1.0\r\n");
    }
    std::this_thread::sleep_for(150ms);
    for (int i = 9; i >= 0; --i) {
      clients[i]->Send("\r\n");
      EXPECT_EQ(clients[i]->Read(), "re GET /?n=" + std::to_string(i) + " HTTP/1.0\r\n\r\n");
    }
  });
  EXPECT_EQ(handler.requests.size(), 11u);
  EXPECT_EQ(handler.requests[0], post);
}

TEST(ConnectionLayer, ClosesWithoutAnswerOnNoReplyIdlenessAndOversizedRequests) {
  Handler handler([](std::string_view r) -> ReplyPlan {
    if (r.starts_with("GET /throw")) throw std::runtime_error("failed action");
    return {r.starts_with("GET /none") ? "" : "ok", ""};
  });
  ServeWhile(handler, Options(300), [&](int port, const ConnectionLayer&) {
    const std::string head = "GET /?a=", tail = " HTTP/1.0\r\n\r\n";
    const std::string fits = head + std::string(64 * 1024 - head.size() - tail.size(), 'c') + tail;
    const std::string requests[] = {
        "GET /none HTTP/1.0\r\n\r\n",
        "GET /throw HTTP/1.0\r\n\r\n",
        "",                                      // silent
        "GET / HTTP/1.0\r\n",                    // never finished
        "GET /?" + std::string(70 * 1024, 'a'),  // a header that never ends
        "POST / HTTP/1.0\r\nContent-Length: 99999\r\n\r\n" + std::string(70'000, 'b')};
    for (const std::string& request : requests) {
      Client c(port);
      c.Send(request);
      EXPECT_EQ(c.Read(), "") << request.substr(0, 20);
      EXPECT_TRUE(c.closed) << request.substr(0, 20);
    }
    Client c(port);  // exactly at the size limit is still served
    c.Send(fits);
    EXPECT_EQ(c.Read(), "ok");
  });
  ASSERT_EQ(handler.requests.size(), 3u);
  EXPECT_EQ(handler.requests[2].size(), 64u * 1024);
  // Stopping the server closes the connections it still holds.
  std::unique_ptr<Client> open;
  ServeWhile(handler, Options(), [&](int port, const ConnectionLayer&) {
    open = std::make_unique<Client>(port);
    std::this_thread::sleep_for(100ms);
  });
  EXPECT_EQ(open->Read(), "");
  EXPECT_TRUE(open->closed);
}

TEST(ConnectionLayer, ClosesARequestThatTricklesInPastItsDeadline) {
  Handler handler([](std::string_view) { return ReplyPlan{"ok", ""}; });
  ServerOptions options = Options(60'000);
  options.limits.requestTimeoutMs = 300;
  ServeWhile(handler, options, [&](int port, const ConnectionLayer& layer) {
    // One byte every 50 ms for two seconds keeps the connection busy but never finishes.
    Client slow(port);
    bool cut = false;
    for (int i = 0; i < 40 && !cut; ++i) {
      cut = ::send(slow.fd, "G", 1, MSG_NOSIGNAL) < 0;
      std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(slow.Read(), "");
    EXPECT_TRUE(slow.closed);
    Client quick(port);
    quick.Send(kGet);
    EXPECT_EQ(quick.Read(), "ok");
  });
  EXPECT_EQ(handler.requests.size(), 1u);
}

// Idle and request time-outs far beyond the client's 5 s wait: only a refusal or the cap closes.
TEST(ConnectionLayer, RefusesBodiesThatCannotFitAndCapsOpenConnections) {
  Handler handler([](std::string_view) { return ReplyPlan{"ok", ""}; });
  ServerOptions options = Options(60'000);
  options.limits.requestTimeoutMs = 60'000;
  options.limits.maxConnections = 4;
  options.limits.evictAfterMs = 100;
  ServeWhile(handler, options, [&](int port, const ConnectionLayer& layer) {
    // An announced body that cannot fit at once is refused as soon as the header is in.
    for (const char* length : {"99999", "99999999999999999999999", "-1", "ten"}) {
      Client c(port);
      c.Send("POST / HTTP/1.0\r\nContent-Length: " + std::string(length) + "\r\n\r\n");
      EXPECT_EQ(c.Read(), "") << length;
      EXPECT_TRUE(c.closed) << length;
    }
    // Twelve clients that start a request and never finish it.
    std::vector<std::unique_ptr<Client>> slow;
    for (int i = 0; i < 12; ++i) {
      slow.push_back(std::make_unique<Client>(port));
      slow.back()->Send("GET /?a=1 HTTP/1.0\r\n");
    }
    // Ordinary clients, one after another, are all answered meanwhile.
    for (int i = 0; i < 6; ++i) {
      Client c(port);
      c.Send(kGet);
      EXPECT_EQ(c.Read(), "ok") << i;
    }
    // The slow ones made way for them rather than holding their places until their deadline.
    int closed = 0;
    for (auto& c : slow) {
      const timeval brief{0, 100'000};
      ::setsockopt(c->fd, SOL_SOCKET, SO_RCVTIMEO, &brief, sizeof brief);
      c->Read();
      closed += c->closed;
    }
    EXPECT_GE(closed, 6);
    EXPECT_LE(layer.PeakConnections(), 4u);
  });
  EXPECT_EQ(handler.requests.size(), 6u);
}

// Answers requests naming "slow" only when told to, from a thread of its own; the rest at once.
struct ParkingHandler : RequestHandler {
  ReplyPlan Handle(std::string_view, const ServerEndpoint&) override { return {"fast", ""}; }
  void HandleAsync(std::string request, const ServerEndpoint& endpoint,
                   ReplyCallback reply) override {
    if (request.find("slow") == std::string::npos) {
      reply(Handle(request, endpoint));
      return;
    }
    const std::lock_guard lock(mutex);
    parked.push_back(std::move(reply));
    changed.notify_all();
  }
  // Waits until `n` requests are parked.
  bool WaitParked(std::size_t n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 5s, [&] { return parked.size() >= n; });
  }
  // Answers parked request i from another thread and waits until the answer is handed over.
  void Answer(std::size_t i, std::string text) {
    ReplyCallback reply;
    {
      const std::lock_guard lock(mutex);
      reply = parked[i];
    }
    std::thread([&] { reply({std::move(text), ""}); }).join();
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<ReplyCallback> parked;
};

// Replies made on another thread come back to their own connection, while the layer goes on
// answering others; a reply for a connection closed meanwhile, or after the layer has gone, is
// dropped.
TEST(ConnectionLayer, ServesOthersWhileAReplyIsMadeElsewhere) {
  ParkingHandler handler;
  ServeWhile(handler, Options(1500), [&](int port, const ConnectionLayer&) {
    Client slow(port), other(port), fast(port);
    slow.Send("GET /?slow=1 HTTP/1.0\r\n\r\n");
    other.Send("GET /?slow=2 HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(handler.WaitParked(2));
    fast.Send(kGet);
    EXPECT_EQ(fast.Read(), "fast");
    EXPECT_TRUE(fast.closed);
    // Answered in the other order than asked; each reply reaches its own client.
    handler.Answer(1, "second");
    handler.Answer(0, "first");
    EXPECT_EQ(slow.Read(), "first");
    EXPECT_EQ(other.Read(), "second");
    // A client whose connection times out before its reply is ready gets nothing, and the
    // late reply goes nowhere.
    Client late(port);
    late.Send("GET /?slow=3 HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(handler.WaitParked(3));
    EXPECT_EQ(late.Read(), "");
    EXPECT_TRUE(late.closed);
    handler.Answer(2, "too late");
    Client after(port);
    after.Send(kGet);
    EXPECT_EQ(after.Read(), "fast");
    // One still waiting when the server stops.
    Client last(port);
    last.Send("GET /?slow=4 HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(handler.WaitParked(4));
  });
  handler.Answer(3, "after the end");
}

TEST(ConnectionLayer, StreamsFilesInChunksAndSkipsWhatCannotBeStreamed) {
  test::TempDir dir;
  std::string content(8 * 1024 * 1024, '\0');
  std::mt19937 random(7);
  for (char& ch : content) ch = static_cast<char>(random());
  const std::string big = dir.write("big.bin", content), fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string link = dir.file("link.bin");
  ASSERT_EQ(::symlink(big.c_str(), link.c_str()), 0);
  // The request target names the file to stream.
  Handler handler([](std::string_view r) {
    return ReplyPlan{"HEAD\r\n\r\n", std::string(r.substr(4, r.find(' ', 4) - 4))};
  });
  const auto get = [](const std::string& path) { return "GET " + path + " HTTP/1.0\r\n\r\n"; };
  ServeWhile(handler, Options(), [&](int port, const ConnectionLayer& layer) {
    Client slow(port), halfClosed(port), lateBytes(port, 64 * 1024);
    slow.Send(get(big));
    // A slow reader lets the socket fill up; the server must not read ahead of it.
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(slow.Read() == "HEAD\r\n\r\n" + content);
    EXPECT_LE(layer.PeakQueuedBytes(), 64u * 1024);
    halfClosed.Send(get(big));
    ::shutdown(halfClosed.fd, SHUT_WR);
    EXPECT_TRUE(halfClosed.Read() == "HEAD\r\n\r\n" + content);
    // Bytes that arrive late, after the server has sent everything, must not reset the
    // connection (which would throw away the end of the reply still on its way).
    lateBytes.Send(get(big));
    std::string got = lateBytes.Read(content.size() - 2 * 1024 * 1024);
    std::this_thread::sleep_for(200ms);
    lateBytes.Send("\r\n");
    EXPECT_TRUE(got + lateBytes.Read() == "HEAD\r\n\r\n" + content);
    // Nor is what a link points to.
    for (const std::string& path : {dir.file("missing"), dir.path(), fifo, link}) {
      Client other(port);
      other.Send(get(path));
      EXPECT_EQ(other.Read(), "HEAD\r\n\r\n") << path;
      EXPECT_TRUE(other.closed);
    }
    // Should the server have blocked opening the FIFO, free it so the test fails, not hangs.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  });
}

TEST(RunDocumentServer, ReportsPortsThatCannotBeBound) {
  Handler handler([](std::string_view) { return ReplyPlan{}; });
  // A port some other listener holds, a number that is no port, an address that is none.
  const int busy = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t length = sizeof addr;
  ::bind(busy, reinterpret_cast<sockaddr*>(&addr), length);
  ::listen(busy, 1);
  ::getsockname(busy, reinterpret_cast<sockaddr*>(&addr), &length);
  const int busyPort = ntohs(addr.sin_port);
  for (const auto& [port, bind] :
       {std::pair{busyPort, "127.0.0.1"}, {70000, ""}, {0, "not-an-address"}}) {
    ServerOptions options = Options(1000, bind);
    options.port = port;
    options.onStarted = [](const ConnectionLayer&) { RequestServerStop(); };
    std::ostringstream err;
    EXPECT_EQ(RunDocumentServer(handler, options, err), 1) << bind;
    EXPECT_NE(err.str().find("port " + std::to_string(port)), std::string::npos) << err.str();
  }
  ::close(busy);
}

TEST(RunDocumentServer, PrintsTheLinkAndStopsOnSignals) {
  Handler handler([](std::string_view) { return ReplyPlan{"x", ""}; });
  for (const auto& [signal, bind] :
       {std::pair{SIGTERM, ""}, {SIGINT, "127.0.0.1"}, {SIGTERM, "localhost"}}) {
    ServerOptions options = Options(1000, bind);
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::string link;
    options.printLink = [&](const std::string& l) { link = l; };
    int port = 0;
    bool stoppedBySignal = false;
    EXPECT_EQ(0, ServeWhile(handler, options, [&](int p, const ConnectionLayer&) {
                port = p;
                ::kill(::getpid(), signal);
                // The port must close before this client is done and stops the server itself.
                for (int i = 0; i < 250 && !stoppedBySignal; ++i) {
                  std::this_thread::sleep_for(20ms);
                  stoppedBySignal = !Client(port).connected;
                }
              }));
    EXPECT_TRUE(stoppedBySignal);
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), locale);  // Qt must not change how numbers read
    EXPECT_EQ(link, "http://127.0.0.1:" + std::to_string(port) + "/?action=hello");
    struct sigaction now {};  // the signal's previous disposition is back
    ::sigaction(signal, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
  }
}

}  // namespace
}  // namespace zyl::server
