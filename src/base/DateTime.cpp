#include "base/DateTime.h"

#include <cstdio>

#include "base/Paths.h"

namespace zyl::base {

DateTimeParts LocalParts(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::time_t Now() {
  return std::time(nullptr);
}

std::string FormatModified(const DateTimeParts& p) {
  char buf[64];
  if (p.hour == 0 && p.minute == 0 && p.second == 0) {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  } else {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
  }
  return buf;
}

std::string FormatModified(std::time_t t) {
  return FormatModified(LocalParts(t));
}

std::optional<std::string> FileModifiedText(std::string_view path) {
  const auto t = FileModifiedTime(path);
  if (!t) return std::nullopt;
  return FormatModified(*t);
}

std::optional<DateTimeParts> ParseModified(std::string_view text) {
  DateTimeParts p;
  const std::string s(text);
  int consumed = 0;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &p.year, &p.month, &p.day, &consumed) != 3 ||
      consumed != 10)
    return std::nullopt;
  if (s.size() > 10) {
    int c2 = 0;
    if (std::sscanf(s.c_str() + 10, " %2d:%2d:%2d%n", &p.hour, &p.minute, &p.second, &c2) != 3 ||
        10 + static_cast<std::size_t>(c2) != s.size())
      return std::nullopt;
  }
  if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || p.hour > 23 || p.minute > 59 ||
      p.second > 59)
    return std::nullopt;
  return p;
}

}  // namespace zyl::base
