#include "server/HttpReply.h"

namespace zyl::server {

std::string ReplyHead200(const std::string& contentType) {
  return "HTTP/1.0 200 Ok\r\nServer: \r\nContent-Type: " + contentType + "\r\n\r\n";
}

std::string BuildReply(const ServerReply& reply) {
  if (reply.Status.empty() || reply.Status == "200") {
    return ReplyHead200(reply.ContentType) + reply.Body;
  }
  if (reply.Status == "403") {
    return "HTTP/1.1 403 Access forbidden\r\nServer:\r\nContent-Type: text/html\r\n\r\n"
           "403 Access forbidden\r\n\r\n";
  }
  return {};
}

}  // namespace zyl::server
