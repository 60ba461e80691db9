// What the program and its reader process say to each other over their socket: every message,
// in either direction, is a list of byte strings (a 32-bit count, then each string with a 64-bit
// length, little-endian). A request is the job number, the time limit in milliseconds and the
// job's arguments; an answer is the job's fields, or no field at all when the job failed.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::extract {

using ReaderMessage = std::vector<std::string>;

// The bytes of one message.
std::string EncodeReaderMessage(const ReaderMessage& message);

// The message that `bytes` holds exactly (nothing missing, nothing after it); nullopt otherwise.
std::optional<ReaderMessage> DecodeReaderMessage(std::string_view bytes);

// Writes all bytes to the socket; false when the other side is gone.
bool SendReaderBytes(int fd, std::string_view bytes);

// Reads one message from the socket. With a deadline, gives up when it passes. nullopt when the
// other side closed, the deadline passed or the message is out of all proportion.
std::optional<ReaderMessage> ReceiveReaderMessage(
    int fd, const std::chrono::steady_clock::time_point* deadline = nullptr);

}  // namespace zyl::extract
