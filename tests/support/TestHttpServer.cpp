#include "support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zyl::test {

namespace {

std::string Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

std::string LinkPage(std::initializer_list<std::string> hrefs) {
  std::string html = "<html><head><title>page</title></head><body>text";
  for (const std::string& href : hrefs) html += " <a href=\"" + href + "\">link</a>";
  return html + "</body></html>";
}

TestHttpServer::TestHttpServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error("socket failed");
  const int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listenFd_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  ::close(listenFd_);
}

std::string TestHttpServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void TestHttpServer::Serve(const std::string& target, HttpResponse response) {
  std::lock_guard lock(mutex_);
  routes_[target] = std::move(response);
}

void TestHttpServer::ServeHtml(const std::string& target, std::string html) {
  HttpResponse response;
  response.headers = {{"Content-Type", "text/html"}};
  response.body = std::move(html);
  Serve(target, std::move(response));
}

void TestHttpServer::Redirect(const std::string& target, const std::string& location, int status) {
  HttpResponse response;
  response.status = status;
  response.headers = {{"Location", location}, {"Content-Type", "text/html"}};
  response.body = "<a href=\"" + location + "\">moved</a>";
  Serve(target, std::move(response));
}

void TestHttpServer::Remove(const std::string& target) {
  std::lock_guard lock(mutex_);
  routes_.erase(target);
}

std::vector<RecordedRequest> TestHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int TestHttpServer::count(std::string_view target) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const RecordedRequest& r : requests_) n += r.target == target ? 1 : 0;
  return n;
}

void TestHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    workers_.emplace_back([this, fd] {
      Handle(fd);
      ::close(fd);
    });
  }
}

void TestHttpServer::Handle(int fd) {
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t firstBlank = head.find(' ');
  const std::size_t secondBlank = head.find(' ', firstBlank + 1);
  if (firstBlank == std::string::npos || secondBlank == std::string::npos) return;
  const std::string target = head.substr(firstBlank + 1, secondBlank - firstBlank - 1);

  HttpResponse response;
  {
    std::unique_lock lock(mutex_);
    requests_.push_back({target, head.substr(0, head.find("\r\n\r\n"))});
    if (auto it = routes_.find(target); it != routes_.end()) {
      response = it->second;
    } else {
      response.status = 404;
      response.headers = {{"Content-Type", "text/html"}};
      response.body = "<html><body>Not found</body></html>";
    }
    if (response.delay.count() > 0 &&
        wake_.wait_for(lock, response.delay, [this] { return stopping_.load(); }))
      return;
  }
  std::string reply =
      "HTTP/1.0 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
  for (const auto& [name, value] : response.headers) reply += name + ": " + value + "\r\n";
  if (response.sendLength)
    reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  reply += "Connection: close\r\n\r\n";
  reply += response.body;
  SendAll(fd, reply);
  ::shutdown(fd, SHUT_WR);
}

}  // namespace zyl::test
