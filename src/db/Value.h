// One field value as the database hands it out: null, a whole number, a real number or text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zyl::db {

class Value {
 public:
  enum class Kind { Null, Integer, Real, Text };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(int v) : v_(static_cast<std::int64_t>(v)) {}
  Value(long v) : v_(static_cast<std::int64_t>(v)) {}
  Value(long long v) : v_(static_cast<std::int64_t>(v)) {}
  Value(unsigned v) : v_(static_cast<std::int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(std::string_view v) : v_(std::string(v)) {}
  Value(const char* v) : v_(std::string(v)) {}
  Value(bool) = delete;  // say -1 or 0, as the engine stores truth values

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsText() const { return kind() == Kind::Text; }
  bool IsNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

  // Text form: "" for null, decimal for numbers (reals with up to 15 significant digits).
  std::string AsText() const;
  // Numbers as they are; text by its leading numeric part; null as 0.
  std::int64_t AsInt() const;
  double AsDouble() const;
  // The stored text itself (empty view unless the value is text).
  std::string_view TextView() const;

  friend bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// A real number written as the program writes numbers in text: whole numbers without a
// fraction, others with up to 15 significant digits, "E+nn" for very large or small ones.
std::string FormatNumber(double d);

}  // namespace zyl::db
