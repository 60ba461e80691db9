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
  // Written digit by digit: the update formats the time of every indexed file.
  auto put = [](char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
  };
  if (p.year < 0 || p.year > 9999) return "0000-00-00";
  char buf[19] = {'0', '0', '0', '0', '-', '0', '0', '-', '0', '0',
                  ' ', '0', '0', ':', '0', '0', ':', '0', '0'};
  put(buf, p.year, 4);
  put(buf + 5, p.month, 2);
  put(buf + 8, p.day, 2);
  if (p.hour == 0 && p.minute == 0 && p.second == 0) return std::string(buf, 10);
  put(buf + 11, p.hour, 2);
  put(buf + 14, p.minute, 2);
  put(buf + 17, p.second, 2);
  return std::string(buf, 19);
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

namespace zyl::base {

namespace {
bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}
int FullYear(int y, int digits) {
  if (digits > 2) return y;
  return y < 70 ? 2000 + y : 1900 + y;
}
// Reads an unsigned number at pos; returns the digit count (0 when none).
int ReadNumber(std::string_view s, std::size_t& pos, int& value) {
  int digits = 0;
  value = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < 5) {
    value = value * 10 + (s[pos] - '0');
    ++pos, ++digits;
  }
  return digits;
}
}  // namespace

std::optional<DateTimeParts> ParseUserDate(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  const std::string_view s = text.substr(b, e - b);
  std::size_t pos = 0;
  int a = 0, m = 0, c = 0;
  const int da = ReadNumber(s, pos, a);
  if (da == 0 || pos >= s.size()) return std::nullopt;
  const char sep = s[pos];
  if (sep != '.' && sep != '-' && sep != '/') return std::nullopt;
  ++pos;
  if (ReadNumber(s, pos, m) == 0 || pos >= s.size() || s[pos] != sep) return std::nullopt;
  ++pos;
  const int dc = ReadNumber(s, pos, c);
  if (dc == 0) return std::nullopt;
  DateTimeParts p;
  if (sep == '.') {
    p.day = a, p.month = m, p.year = FullYear(c, dc);
  } else if (sep == '-') {
    if (da != 4) return std::nullopt;
    p.year = a, p.month = m, p.day = c;
  } else {
    p.month = a, p.day = m, p.year = FullYear(c, dc);
  }
  p.hour = p.minute = p.second = 0;
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return std::nullopt;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
    if (ReadNumber(s, pos, p.hour) == 0 || pos >= s.size() || s[pos] != ':') return std::nullopt;
    ++pos;
    if (ReadNumber(s, pos, p.minute) == 0) return std::nullopt;
    if (pos < s.size() && s[pos] == ':') {
      ++pos;
      if (ReadNumber(s, pos, p.second) == 0) return std::nullopt;
    }
    if (pos != s.size()) return std::nullopt;
  }
  if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > DaysInMonth(p.year, p.month) || p.hour > 23 || p.minute > 59 || p.second > 59)
    return std::nullopt;
  return p;
}

std::string FormatUserDate(const DateTimeParts& p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", p.day, p.month, p.year);
  return buf;
}

DateTimeParts AddDays(const DateTimeParts& parts, int days) {
  DateTimeParts p = parts;
  // Walk whole months first for speed, then days.
  while (days > 0) {
    const int left = DaysInMonth(p.year, p.month) - p.day;
    if (days <= left) {
      p.day += days;
      break;
    }
    days -= left + 1;
    p.day = 1;
    if (++p.month > 12) p.month = 1, ++p.year;
  }
  while (days < 0) {
    if (-days < p.day) {
      p.day += days;
      break;
    }
    days += p.day;
    if (--p.month < 1) p.month = 12, --p.year;
    p.day = DaysInMonth(p.year, p.month);
  }
  return p;
}

}  // namespace zyl::base
