// A small HTTP/1.0 server on 127.0.0.1 for tests: it answers GET requests from a table of
// request targets, one thread per connection, and records what it was asked. Two instances
// stand for two hosts.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace zyl::test {

struct HttpResponse {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::chrono::milliseconds delay{0};  // wait this long before answering: a slow page
  bool sendLength = true;              // send Content-Length (else the close ends the body)
};

struct RecordedRequest {
  std::string target;  // the request target as sent ("/a%20b.htm")
  std::string head;    // the request line and headers
};

// A page holding one link to each of `hrefs`, in order.
std::string LinkPage(std::initializer_list<std::string> hrefs);

class TestHttpServer {
 public:
  TestHttpServer();  // listens on an ephemeral port; throws std::runtime_error on failure
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" + path
  std::string url(std::string_view path) const;

  void Serve(const std::string& target, HttpResponse response);
  void ServeHtml(const std::string& target, std::string html);
  void Redirect(const std::string& target, const std::string& location, int status = 302);
  void Remove(const std::string& target);

  std::vector<RecordedRequest> requests() const;
  // How many times `target` was requested.
  int count(std::string_view target) const;

 private:
  void AcceptLoop();
  void Handle(int fd);

  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::map<std::string, HttpResponse> routes_;
  std::vector<RecordedRequest> requests_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace zyl::test
