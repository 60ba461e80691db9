#include "server/ConnectionLayer.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <mutex>
#include <ostream>
#include <unordered_map>
#include <utility>

#include "base/Strings.h"
#include "server/HttpRequest.h"

namespace zyl::server {

namespace {

class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~FileDescriptor() { reset(); }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Only regular files are streamed: opening a FIFO would block the server's one thread until a
// writer appears, and a device such as /dev/zero would never end. A final symbolic link is not
// followed: what is served is the file at the path itself, never what a link points to.
FileDescriptor OpenForStreaming(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  return file;
}

// The address text pages and links carry: IPv4 clients reaching a dual-stack listener show up
// as "::ffff:a.b.c.d", which a browser on the other side knows as plain a.b.c.d.
std::string EndpointAddress(const QHostAddress& address) {
  bool isV4 = false;
  const quint32 v4 = address.toIPv4Address(&isV4);
  if (isV4) return QHostAddress(v4).toString().toStdString();
  std::string text = address.toString().toStdString();
  if (text.starts_with("::ffff:")) text.erase(0, 7);
  return text;
}

std::string HostForUrl(const std::string& address) {
  return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

std::string LocalAddressOf(int descriptor) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
  return EndpointAddress(QHostAddress(reinterpret_cast<const sockaddr*>(&address)));
}

class Connection;

// Where replies made on other threads are posted: to `receiver`, an object living on the
// layer's thread, for as long as the layer is there. A handler may finish a reply after the
// layer has gone; it then finds no receiver and the reply is dropped.
struct ReplyRoute {
  std::mutex mutex;
  QObject* receiver = nullptr;
};

// What every connection of one layer shares. Lives on the layer's thread, except the atomic
// counters, which other threads may read.
struct LayerShared {
  LayerShared(RequestHandler& h, ConnectionLimits l) : handler(h), limits(l) {}
  RequestHandler& handler;
  ConnectionLimits limits;
  int port = 0;
  std::atomic<std::size_t> peakQueued{0};
  std::atomic<std::size_t> open{0};
  std::atomic<std::size_t> peakOpen{0};
  // Open connections by number; numbers are never reused, so a reply that comes back for a
  // connection closed meanwhile cannot reach another one.
  std::unordered_map<std::uint64_t, Connection*> live;
  std::uint64_t lastNumber = 0;
  std::shared_ptr<ReplyRoute> route = std::make_shared<ReplyRoute>();
  // Told when a connection has closed (it may be time to accept again).
  std::function<void()> onReleased;

  void Counted() {
    open.store(live.size(), std::memory_order_relaxed);
    if (live.size() > peakOpen.load(std::memory_order_relaxed))
      peakOpen.store(live.size(), std::memory_order_relaxed);
  }
};

// After the reply has gone out, how long a connection waits for the client to close its side.
constexpr int kLingerMs = 2000;
// Work done per wake-up of one connection, so that a client flooding us with bytes or reading
// very fast cannot keep the others waiting.
constexpr int kReadsPerWakeUp = 8;
constexpr int kChunksPerWakeUp = 16;

// One accepted socket: it reads one request, answers it and closes. The socket is driven
// directly rather than through QTcpSocket, which closes the connection as soon as the client
// closes its sending side (so a reply still being sent would be lost) and keeps a second copy
// of everything queued for sending. Parented to the listener, so whatever is still open when
// the listener goes is closed with it.
class Connection : public QObject {
 public:
  Connection(LayerShared& shared, int descriptor, QObject* parent)
      : QObject(parent),
        shared_(shared),
        number_(++shared.lastNumber),
        socket_(descriptor),
        reader_(new QSocketNotifier(descriptor, QSocketNotifier::Read, this)),
        writer_(new QSocketNotifier(descriptor, QSocketNotifier::Write, this)),
        idle_(new QTimer(this)),
        deadline_(new QTimer(this)),
        acceptedAt_(std::chrono::steady_clock::now()) {
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    writer_->setEnabled(false);
    QObject::connect(reader_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
    QObject::connect(writer_, &QSocketNotifier::activated, this, [this] { Send(); });
    idle_->setSingleShot(true);
    QObject::connect(idle_, &QTimer::timeout, this, [this] { Close(); });
    idle_->start(shared_.limits.idleTimeoutMs);
    // Every byte restarts the idle timer, so a client trickling its request in byte by byte
    // would never meet it; the request as a whole has a deadline of its own.
    deadline_->setSingleShot(true);
    QObject::connect(deadline_, &QTimer::timeout, this, [this] {
      if (state_ == State::Reading) Close();
    });
    deadline_->start(shared_.limits.requestTimeoutMs);
  }

  std::uint64_t Number() const { return number_; }

  // Still waiting for its request (accepted at AcceptedAt()).
  bool StillReading() const { return state_ == State::Reading; }
  std::chrono::steady_clock::time_point AcceptedAt() const { return acceptedAt_; }

  // Ends the connection at once (a reply under way is cut off).
  void Close() {
    if (state_ == State::Closed) return;
    state_ = State::Closed;
    reader_->setEnabled(false);
    writer_->setEnabled(false);
    idle_->stop();
    deadline_->stop();
    socket_.reset();
    file_.reset();
    shared_.live.erase(number_);
    shared_.Counted();
    deleteLater();
    if (shared_.onReleased) shared_.onReleased();
  }

  ~Connection() override {
    // The notifiers must let go of the descriptor before it is closed.
    reader_->setEnabled(false);
    writer_->setEnabled(false);
  }

 private:
  enum class State { Reading, Replying, Lingering, Closed };

  void OnReadable() {
    char bytes[16 * 1024];
    for (int round = 0; round < kReadsPerWakeUp; ++round) {
      const ssize_t n = ::recv(socket_.get(), bytes, sizeof bytes, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (n <= 0) {
        PeerFinished(n == 0);
        return;
      }
      if (state_ != State::Reading) continue;  // one request per connection; the rest is dropped
      idle_->start(shared_.limits.idleTimeoutMs);
      buffer_.append(bytes, static_cast<std::size_t>(n));
      // A request that cannot fit (a Content-Length beyond the limit, or one that is no
      // number) is refused as soon as its header says so, not after waiting for its body.
      const RequestFrame frame = FrameRequest(buffer_, shared_.limits.maxRequestBytes);
      if (frame.state == RequestFrame::State::Complete) {
        Answer(frame.length);
        return;
      }
      if (frame.state == RequestFrame::State::Refused) {
        Close();
        return;
      }
    }
  }

  // The client will send nothing more (or the connection broke).
  void PeerFinished(bool orderly) {
    if (orderly && state_ == State::Replying) {
      // A client may close its sending side right after the request; the reply still goes out.
      peerDone_ = true;
      reader_->setEnabled(false);
      return;
    }
    Close();
  }

  void Answer(std::size_t length) {
    state_ = State::Replying;
    deadline_->stop();
    const ServerEndpoint endpoint{LocalAddressOf(socket_.get()), shared_.port};
    std::string request = buffer_.substr(0, length);
    buffer_ = std::string();
    // The handler may answer before it returns (on this thread) or later from a worker; either
    // way the reply comes back here through the route, by this connection's number.
    LayerShared* shared = &shared_;
    const std::uint64_t number = number_;
    ReplyCallback reply = [route = shared_.route, shared, number](ReplyPlan plan) {
      const std::lock_guard lock(route->mutex);
      if (!route->receiver) return;
      auto deliver = [shared, number, plan = std::move(plan)]() mutable {
        const auto it = shared->live.find(number);
        if (it != shared->live.end()) it->second->Reply(std::move(plan));
      };
      if (QThread::currentThread() == route->receiver->thread()) {
        deliver();
      } else {
        QMetaObject::invokeMethod(route->receiver, std::move(deliver), Qt::QueuedConnection);
      }
    };
    try {
      shared_.handler.HandleAsync(std::move(request), endpoint, std::move(reply));
    } catch (...) {
      // A failing action must not take the whole server down; the request goes unanswered.
      Close();
    }
  }

  // Sends the reply to the request; an empty one closes the connection unanswered.
  void Reply(ReplyPlan plan) {
    if (state_ != State::Replying || !out_.empty() || file_.valid()) return;
    if (plan.empty()) {
      Close();
      return;
    }
    if (!plan.streamFile.empty()) file_ = OpenForStreaming(plan.streamFile);
    out_ = std::move(plan.text);
    NoteHeld();
    Send();
  }

  // Sends what is held, refilling from the file one chunk at a time, until the system's
  // buffer is full (then the writable notice calls again) or the reply is complete.
  void Send() {
    for (int chunks = 0; chunks < kChunksPerWakeUp;) {
      if (sent_ == out_.size()) {
        if (!file_.valid()) {
          EndReply();
          return;
        }
        if (!Refill()) return;
        ++chunks;
        if (out_.empty()) continue;
      }
      const ssize_t n =
          ::send(socket_.get(), out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL);
      if (n > 0) {
        sent_ += static_cast<std::size_t>(n);
        idle_->start(shared_.limits.idleTimeoutMs);
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        writer_->setEnabled(true);
        return;
      } else if (n < 0 && errno != EINTR) {
        Close();  // the client went away
        return;
      }
    }
    writer_->setEnabled(true);
  }

  // Reads the next chunk of the file into the send buffer; at the end of the file the file is
  // let go (and the buffer left empty). False when the connection was cut off.
  bool Refill() {
    const std::size_t chunkBytes = shared_.limits.streamChunkBytes;
    if (out_.capacity() > 2 * chunkBytes) out_ = std::string();  // the text may have been large
    out_.resize(chunkBytes);
    sent_ = 0;
    ssize_t got;
    do {
      got = ::read(file_.get(), out_.data(), chunkBytes);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      // Reset rather than close cleanly, so the client sees a failed transfer instead of a
      // document that merely looks shorter.
      const linger reset{1, 0};
      ::setsockopt(socket_.get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      Close();
      return false;
    }
    out_.resize(static_cast<std::size_t>(got));
    if (got == 0) file_.reset();
    NoteHeld();
    return true;
  }

  void NoteHeld() {
    if (out_.size() > shared_.peakQueued.load(std::memory_order_relaxed)) {
      shared_.peakQueued.store(out_.size(), std::memory_order_relaxed);
    }
  }

  // The end of the sending side is what ends the reply for the browser. The socket is closed
  // only once the client has closed too (or after a short wait): closing while bytes from the
  // client are still unread would reset the connection and could destroy the end of the reply
  // before the client has read it.
  void EndReply() {
    out_ = std::string();
    writer_->setEnabled(false);
    if (peerDone_) {
      Close();
      return;
    }
    ::shutdown(socket_.get(), SHUT_WR);
    state_ = State::Lingering;
    idle_->start(std::min(kLingerMs, shared_.limits.idleTimeoutMs));
  }

  LayerShared& shared_;
  const std::uint64_t number_;
  FileDescriptor socket_;
  QSocketNotifier* reader_;  // owned as a child
  QSocketNotifier* writer_;  // owned as a child
  QTimer* idle_;             // owned as a child
  QTimer* deadline_;         // owned as a child: the whole request must be in by then
  std::chrono::steady_clock::time_point acceptedAt_;
  State state_ = State::Reading;
  bool peerDone_ = false;
  std::string buffer_;  // the request as it arrives
  std::string out_;     // what is being sent: the reply text, then one chunk of the file
  std::size_t sent_ = 0;
  FileDescriptor file_;
};

// How many connections the process's descriptor limit leaves room for: each may hold a
// socket and a streamed file, and the program needs some descriptors of its own.
std::size_t ConnectionRoom(int wanted) {
  std::size_t room = static_cast<std::size_t>(std::max(wanted, 1));
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    constexpr rlim_t kReserved = 64;
    const rlim_t fits = limit.rlim_cur > kReserved ? (limit.rlim_cur - kReserved) / 2 : 1;
    room = std::min<std::size_t>(room, std::max<rlim_t>(fits, 1));
  }
  return room;
}

}  // namespace

// The listener and the cap on open connections. Qt binds the listening socket (addresses,
// errors), but the accepting is done here on a descriptor of our own: Qt's listener accepts
// every waiting connection in one go, which a cap cannot stop. At the cap, accepting is paused
// (the socket is no longer watched, so nothing spins on it) and new clients wait in the
// system's queue; it resumes when a connection closes. Meanwhile a connection that has been
// sending its request for longer than a well-behaved client ever takes is closed to make room,
// so that clients trickling requests in cannot keep the others out until their deadline.
struct ConnectionLayer::Impl {
  Impl(RequestHandler& handler, ConnectionLimits limits)
      : shared(handler, limits), cap(ConnectionRoom(limits.maxConnections)) {
    shared.onReleased = [this] { Released(); };
    shared.route->receiver = &replies;
    retry.setSingleShot(true);
    QObject::connect(&retry, &QTimer::timeout, [this] { Retry(); });
  }

  // Starts accepting on a listening socket Qt has bound. False when it cannot be watched.
  bool StartAccepting() {
    server->pauseAccepting();
    listening =
        FileDescriptor(::fcntl(static_cast<int>(server->socketDescriptor()), F_DUPFD_CLOEXEC, 0));
    if (!listening.valid()) return false;
    ::fcntl(listening.get(), F_SETFL, ::fcntl(listening.get(), F_GETFL) | O_NONBLOCK);
    acceptor = std::make_unique<QSocketNotifier>(listening.get(), QSocketNotifier::Read);
    QObject::connect(acceptor.get(), &QSocketNotifier::activated, [this] { AcceptWaiting(); });
    return true;
  }

  void StopAccepting() {
    retry.stop();
    paused = false;
    if (acceptor) acceptor->setEnabled(false);
    acceptor.reset();
    listening.reset();
  }

  // Accepts what is waiting, up to the cap and a fair share of one wake-up.
  void AcceptWaiting() {
    for (int round = 0; round < kAcceptsPerWakeUp; ++round) {
      if (shared.live.size() >= cap && !EvictOne()) {
        Pause();
        return;
      }
      const int fd = ::accept4(listening.get(), nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        // Owned by the listener (its Qt parent); it deletes itself once closed.
        auto* connection = new Connection(shared, fd, server.get());
        shared.live.emplace(connection->Number(), connection);
        shared.Counted();
        continue;
      }
      if (errno == EINTR || errno == ECONNABORTED) continue;
      // Out of descriptors or memory: the connection stays queued and the socket stays
      // readable; watching it now would only spin. Look again after a while.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) Pause();
      return;
    }
  }

  // Closes the connection that has been sending its request the longest, when that is longer
  // than `evictAfterMs`. False when there is none.
  bool EvictOne() {
    const auto cutoff =
        std::chrono::steady_clock::now() - std::chrono::milliseconds(shared.limits.evictAfterMs);
    Connection* oldest = nullptr;
    for (const auto& [number, c] : shared.live) {
      if (c->StillReading() && c->AcceptedAt() <= cutoff &&
          (!oldest || c->AcceptedAt() < oldest->AcceptedAt()))
        oldest = c;
    }
    if (!oldest) return false;
    oldest->Close();
    return true;
  }

  void Pause() {
    if (!acceptor) return;
    acceptor->setEnabled(false);
    paused = true;
    retry.start(std::max(shared.limits.evictAfterMs, 50));
  }

  void Released() {
    if (!paused || !acceptor || shared.live.size() >= cap) return;
    paused = false;
    retry.stop();
    acceptor->setEnabled(true);
  }

  // While paused, look again: room may have been made, or a slow request may make way.
  void Retry() {
    if (!paused || !acceptor) return;
    paused = false;
    retry.stop();
    acceptor->setEnabled(true);
    AcceptWaiting();
  }

  ~Impl() {
    // Replies still being made on other threads have nowhere to go from now on.
    const std::lock_guard lock(shared.route->mutex);
    shared.route->receiver = nullptr;
  }

  static constexpr int kAcceptsPerWakeUp = 64;

  LayerShared shared;
  const std::size_t cap;
  std::unique_ptr<QTcpServer> server;
  FileDescriptor listening;  // our own descriptor of the listening socket
  std::unique_ptr<QSocketNotifier> acceptor;
  QHostAddress bound;
  QTimer retry;
  bool paused = false;
  QObject replies;  // receives replies made on other threads (see ReplyRoute)
};

ConnectionLayer::ConnectionLayer(RequestHandler& handler, ConnectionLimits limits)
    : impl_(std::make_unique<Impl>(handler, limits)) {}

ConnectionLayer::~ConnectionLayer() {
  Close();
}

std::string ConnectionLayer::Listen(int port, std::string_view bindAddress) {
  Close();
  const std::string where =
      bindAddress.empty() ? "every interface" : "address " + std::string(bindAddress);
  const std::string what = "cannot listen on port " + std::to_string(port) + " of " + where;
  if (port < 0 || port > 65535) return what + ": not a port number";
  QHostAddress address(QHostAddress::Any);
  const std::string_view wanted = base::TrimView(bindAddress);
  if (base::EqualsNoCase(wanted, "localhost")) {
    address = QHostAddress(QHostAddress::LocalHost);
  } else if (!wanted.empty() &&
             !address.setAddress(QString::fromUtf8(wanted.data(), wanted.size()))) {
    return what + ": not an IP address";
  }
  auto server = std::make_unique<QTcpServer>();
  // Room for a burst of browsers (or a load test) connecting at once.
  server->setListenBacklogSize(256);
  if (!server->listen(address, static_cast<quint16>(port))) {
    return what + ": " + server->errorString().toStdString();
  }
  impl_->shared.port = server->serverPort();
  impl_->bound = address;
  impl_->server = std::move(server);
  if (!impl_->StartAccepting()) {
    const std::string why = std::strerror(errno);
    Close();
    return what + ": " + why;
  }
  return {};
}

void ConnectionLayer::Close() {
  if (!impl_->server) return;
  impl_->StopAccepting();
  impl_->server->close();
  // The connections are children of the listener and go with it.
  impl_->shared.live.clear();
  impl_->shared.Counted();
  impl_->server.reset();
  impl_->shared.port = 0;
}

bool ConnectionLayer::IsListening() const {
  return impl_->server != nullptr;
}

int ConnectionLayer::Port() const {
  return impl_->shared.port;
}

std::string ConnectionLayer::LinkAddress() const {
  const QHostAddress& a = impl_->bound;
  if (a == QHostAddress(QHostAddress::AnyIPv6)) return "::1";
  if (a == QHostAddress(QHostAddress::Any) || a == QHostAddress(QHostAddress::AnyIPv4)) {
    return "127.0.0.1";
  }
  return EndpointAddress(a);
}

std::string ConnectionLayer::SearchPageLink() const {
  return "http://" + HostForUrl(LinkAddress()) + ":" + std::to_string(Port()) + "/?action=hello";
}

std::size_t ConnectionLayer::OpenConnections() const {
  return impl_->shared.open.load(std::memory_order_relaxed);
}

std::size_t ConnectionLayer::PeakConnections() const {
  return impl_->shared.peakOpen.load(std::memory_order_relaxed);
}

std::size_t ConnectionLayer::PeakQueuedBytes() const {
  return impl_->shared.peakQueued.load(std::memory_order_relaxed);
}

std::string LocalHostName() {
  return QHostInfo::localHostName().toStdString();
}

namespace {

// The self-pipe that turns SIGINT, SIGTERM and RequestServerStop() into an event of the loop;
// a signal handler may do no more than write(2). The pipe is made once and never closed, so a
// stop request racing with the end of a run cannot write into a descriptor reused meanwhile;
// a byte left over is drained when the next run starts.
struct StopPipe {
  int readEnd = -1;
  int writeEnd = -1;
};

const StopPipe& ProcessStopPipe() {
  static const StopPipe pipe = [] {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return StopPipe{};
    return StopPipe{fds[0], fds[1]};
  }();
  return pipe;
}

// The pipe's writing end while a server runs, else -1.
std::atomic<int> stopWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int) {
  const int savedErrno = errno;
  const int fd = stopWriteFd.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

// Catches SIGINT and SIGTERM for the lifetime of one server run.
class StopChannel {
 public:
  StopChannel() : pipe_(ProcessStopPipe()) {
    if (!valid()) return;
    Drain();
    stopWriteFd.store(pipe_.writeEnd);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInt_);
    ::sigaction(SIGTERM, &action, &previousTerm_);
  }
  ~StopChannel() {
    if (!valid()) return;
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
    stopWriteFd.store(-1);
  }
  StopChannel(const StopChannel&) = delete;
  StopChannel& operator=(const StopChannel&) = delete;

  bool valid() const { return pipe_.readEnd >= 0; }
  int readFd() const { return pipe_.readEnd; }
  void Drain() const {
    char bytes[64];
    while (::read(pipe_.readEnd, bytes, sizeof bytes) > 0) {
    }
  }

 private:
  const StopPipe& pipe_;
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
};

// Qt needs an application object for its event loop. Its constructor also switches the C
// locale to the environment's, which would change how numbers are read and written all over
// the program, so the locale in force before is put back.
std::unique_ptr<QCoreApplication> EnsureApplication() {
  if (QCoreApplication::instance()) return {};
  static int argc = 1;
  static char name[] = "zyl";
  static char* argv[] = {name, nullptr};
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  auto app = std::make_unique<QCoreApplication>(argc, argv);
  std::setlocale(LC_ALL, locale.c_str());
  return app;
}

// A server holds a descriptor per connection (two while it streams a file), and the usual
// soft limit of 1024 would leave room for a few hundred clients; the hard limit is the
// system's real bound.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace

int RunDocumentServer(RequestHandler& handler, const ServerOptions& options, std::ostream& err) {
  const std::unique_ptr<QCoreApplication> app = EnsureApplication();
  RaiseDescriptorLimit();
  ConnectionLayer layer(handler, options.limits);
  const std::string why = layer.Listen(options.port, options.bindAddress);
  if (!why.empty()) {
    err << "zyl: " << why << "\n";
    return 1;
  }
  // Signals are caught before the link is shown, so a stop right after it is never lost.
  const StopChannel stop;
  if (!stop.valid()) {
    err << "zyl: cannot set up the stop signal handling\n";
    return 1;
  }
  QEventLoop loop;
  QSocketNotifier stopNotifier(stop.readFd(), QSocketNotifier::Read);
  QObject::connect(&stopNotifier, &QSocketNotifier::activated, &loop, [&] {
    stop.Drain();
    loop.quit();
  });
  if (options.printLink) options.printLink(layer.SearchPageLink());
  if (options.onStarted) options.onStarted(layer);
  loop.exec();
  layer.Close();
  return 0;
}

void RequestServerStop() {
  OnStopSignal(0);
}

}  // namespace zyl::server
