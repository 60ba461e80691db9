#include "db/Value.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/Strings.h"

namespace zyl::db {

std::string FormatNumber(double d) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d < 0 ? "-Inf" : "Inf";
  if (d == std::trunc(d) && std::fabs(d) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", d);
    return std::strcmp(buf, "-0") == 0 ? "0" : buf;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  std::string s = buf;
  // %G keeps trailing zeros of the mantissa out, but writes a two-digit exponent as "E+05";
  // the text form wants "E+05" too, so only a lone decimal point needs care.
  const auto e = s.find('E');
  std::string mant = e == std::string::npos ? s : s.substr(0, e);
  std::string exp = e == std::string::npos ? "" : s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (!mant.empty() && mant.back() == '0') mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
  }
  return mant + exp;
}

std::string Value::AsText() const {
  switch (kind()) {
    case Kind::Null:
      return {};
    case Kind::Integer:
      return std::to_string(std::get<std::int64_t>(v_));
    case Kind::Real:
      return FormatNumber(std::get<double>(v_));
    case Kind::Text:
      return std::get<std::string>(v_);
  }
  return {};
}

std::int64_t Value::AsInt() const {
  switch (kind()) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return std::get<std::int64_t>(v_);
    case Kind::Real: {
      const double d = std::get<double>(v_);
      if (!(d > -9.2e18 && d < 9.2e18)) return d < 0 ? INT64_MIN : (d > 0 ? INT64_MAX : 0);
      return static_cast<std::int64_t>(std::llround(d));
    }
    case Kind::Text:
      return base::ValInt(std::get<std::string>(v_));
  }
  return 0;
}

double Value::AsDouble() const {
  switch (kind()) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return static_cast<double>(std::get<std::int64_t>(v_));
    case Kind::Real:
      return std::get<double>(v_);
    case Kind::Text:
      return base::Val(std::get<std::string>(v_));
  }
  return 0;
}

std::string_view Value::TextView() const {
  if (kind() != Kind::Text) return {};
  return std::get<std::string>(v_);
}

}  // namespace zyl::db
