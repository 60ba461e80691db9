#include "extract/process/ReaderProtocol.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace zyl::extract {

namespace {

using Clock = std::chrono::steady_clock;

// Sanity bounds; no document's text or archive's listing comes near them.
constexpr std::uint64_t kMaxFieldBytes = std::uint64_t{1} << 32;
constexpr std::uint32_t kMaxFields = 1u << 20;

void PutLe(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint64_t GetLe(const char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  return v;
}

// Reads exactly `size` bytes; with a deadline, gives up when it passes.
bool ReceiveAll(int fd, char* data, std::size_t size, const Clock::time_point* deadline) {
  while (size > 0) {
    if (deadline) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      pollfd p{fd, POLLIN, 0};
      const int r = ::poll(&p, 1, static_cast<int>(left.count()));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
    }
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;  // the other side is gone
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string EncodeReaderMessage(const ReaderMessage& message) {
  std::size_t total = 4;
  for (const std::string& field : message) total += 8 + field.size();
  std::string out;
  out.reserve(total);
  PutLe(out, message.size(), 4);
  for (const std::string& field : message) {
    PutLe(out, field.size(), 8);
    out += field;
  }
  return out;
}

std::optional<ReaderMessage> DecodeReaderMessage(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const std::uint64_t count = GetLe(bytes.data(), 4);
  if (count > kMaxFields) return std::nullopt;
  std::size_t pos = 4;
  ReaderMessage message;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (bytes.size() - pos < 8) return std::nullopt;
    const std::uint64_t n = GetLe(bytes.data() + pos, 8);
    pos += 8;
    if (n > bytes.size() - pos) return std::nullopt;
    message.emplace_back(bytes.substr(pos, static_cast<std::size_t>(n)));
    pos += static_cast<std::size_t>(n);
  }
  if (pos != bytes.size()) return std::nullopt;
  return message;
}

bool SendReaderBytes(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t size = bytes.size();
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<ReaderMessage> ReceiveReaderMessage(int fd, const Clock::time_point* deadline) {
  char head[4];
  if (!ReceiveAll(fd, head, sizeof head, deadline)) return std::nullopt;
  const std::uint64_t count = GetLe(head, 4);
  if (count > kMaxFields) return std::nullopt;
  ReaderMessage message;
  message.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    char size[8];
    if (!ReceiveAll(fd, size, sizeof size, deadline)) return std::nullopt;
    const std::uint64_t n = GetLe(size, 8);
    if (n > kMaxFieldBytes) return std::nullopt;
    std::string field(static_cast<std::size_t>(n), '\0');
    if (!ReceiveAll(fd, field.data(), field.size(), deadline)) return std::nullopt;
    message.push_back(std::move(field));
  }
  return message;
}

}  // namespace zyl::extract
