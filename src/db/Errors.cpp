#include "db/Errors.h"

#include "base/Utf8.h"

namespace zyl::db {

namespace {
std::string SqlMessage(std::size_t position, const std::string& reason) {
  return "position " + std::to_string(position) + ": " + reason;
}
}  // namespace

SqlError::SqlError(std::size_t position, std::string reason)
    : std::runtime_error(SqlMessage(position, reason)),
      position_(position),
      reason_(std::move(reason)) {}

std::size_t CharPosition(std::string_view text, std::size_t byteOffset) {
  if (byteOffset > text.size()) byteOffset = text.size();
  return base::CodePointCount(text.substr(0, byteOffset)) + 1;
}

DbError::DbError(int code, std::string message)
    : std::runtime_error(std::move(message)), code_(code) {}

}  // namespace zyl::db
