// The two ways the database layer fails: a statement text it refuses (SqlError, with the
// place in the text where reading stopped) and a failure of the database itself (DbError,
// with the engine's numeric code).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zyl::db {

class SqlError : public std::runtime_error {
 public:
  // `position` is 1-based and counts characters (code points) of the statement text.
  SqlError(std::size_t position, std::string reason);

  std::size_t position() const { return position_; }
  const std::string& reason() const { return reason_; }

 private:
  std::size_t position_;
  std::string reason_;
};

// The character position (1-based) of a byte offset into a statement text.
std::size_t CharPosition(std::string_view text, std::size_t byteOffset);

class DbError : public std::runtime_error {
 public:
  DbError(int code, std::string message);
  int code() const { return code_; }

 private:
  int code_;
};

// Codes of DbError raised by this layer itself rather than by the engine.
enum DbErrorCode : int {
  kNotADatabase = 26,  // the engine's own code for "file is not a database"
  kNoCurrentRecord = 3021,
  kUpdateWithoutEdit = 3020,
  kNotUpdatable = 3027,
  kBadArgument = 3001,
  kNotFound = 3265,
};

}  // namespace zyl::db
