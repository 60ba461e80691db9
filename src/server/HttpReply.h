// Replies of the document server: a status line, two header lines and the body, with no length
// header; the closing of the connection ends the reply.
#pragma once

#include <string>

namespace zyl::server {

struct ServerReply {
  std::string Status;  // "200" or "403"; "" means "200"
  std::string ContentType;
  std::string Body;
};

// The exact reply text; "" for any other status.
std::string BuildReply(const ServerReply& reply);
// The head of a "200" reply (everything before the body), for replies whose body is streamed.
std::string ReplyHead200(const std::string& contentType);

}  // namespace zyl::server
