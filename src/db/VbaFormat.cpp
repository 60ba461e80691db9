// Format() for numbers and dates.
#include <cmath>
#include <cstdio>
#include <string>

#include "base/Strings.h"
#include "db/SqlFunctions.h"
#include "db/Value.h"

namespace zyl::db {
namespace {

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

std::string Two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

bool StartsNoCase(std::string_view s, std::size_t i, std::string_view w) {
  return s.size() - i >= w.size() && base::EqualsNoCase(s.substr(i, w.size()), w);
}

int DayOfYear(const DateTimeParts& p) {
  int n = p.day;
  for (int m = 1; m < p.month; ++m) n += DaysInMonth(p.year, m);
  return n;
}

std::string ShortDate(const DateTimeParts& p) {
  return Two(p.day) + "." + Two(p.month) + "." + std::to_string(p.year);
}
std::string LongTime(const DateTimeParts& p) {
  return Two(p.hour) + ":" + Two(p.minute) + ":" + Two(p.second);
}
std::string LongDate(const DateTimeParts& p) {
  return std::to_string(p.day) + " " + kMonths[p.month - 1] + " " + std::to_string(p.year);
}
bool IsZeroDate(const DateTimeParts& p) {
  return p.year == 1899 && p.month == 12 && p.day == 30;
}
bool IsMidnight(const DateTimeParts& p) {
  return p.hour == 0 && p.minute == 0 && p.second == 0;
}

std::string GeneralDate(const DateTimeParts& p) {
  if (IsZeroDate(p)) return LongTime(p);
  if (IsMidnight(p)) return ShortDate(p);
  return ShortDate(p) + " " + LongTime(p);
}

int WeekOfYear(const DateTimeParts& p, int firstDay) {
  DateTimeParts jan1 = p;
  jan1.month = 1;
  jan1.day = 1;
  const int offset = (DayOfWeek(jan1) - firstDay + 7) % 7;
  return (DayOfYear(p) - 1 + offset) / 7 + 1;
}

// ---- numbers ----

std::string GroupThousands(const std::string& digits) {
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    out.push_back(digits[i]);
    const int left = n - 1 - i;
    if (left > 0 && left % 3 == 0) out.push_back(',');
  }
  return out;
}

// Fixed-point text of |value| with `decimals` digits after the point, split in two parts.
void FixedParts(double value, int decimals, std::string& intPart, std::string& fracPart) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
  std::string s = buf;
  const auto dot = s.find('.');
  intPart = dot == std::string::npos ? s : s.substr(0, dot);
  fracPart = dot == std::string::npos ? "" : s.substr(dot + 1);
}

std::string CustomNumber(double value, std::string_view fmt, bool negativeSection) {
  std::string prefix, suffix;
  int intZeros = 0, intDigits = 0, fracZeros = 0, fracHashes = 0;
  bool seenDigit = false, seenDot = false, thousands = false, percent = false;
  bool scientific = false, expPlus = false;
  int expDigits = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    const char c = fmt[i];
    std::string lit;
    if (c == '0' || c == '#') {
      if (scientific) {
        ++expDigits;
        continue;
      }
      seenDigit = true;
      if (seenDot) {
        (c == '0' ? fracZeros : fracHashes)++;
      } else {
        ++intDigits;
        if (c == '0') ++intZeros;
      }
      continue;
    }
    if (c == '.' && !scientific) {
      seenDot = true;
      seenDigit = true;
      continue;
    }
    if (c == ',' && seenDigit && !seenDot) {
      thousands = true;
      continue;
    }
    if ((c == 'E' || c == 'e') && seenDigit && i + 1 < fmt.size() &&
        (fmt[i + 1] == '+' || fmt[i + 1] == '-')) {
      scientific = true;
      expPlus = fmt[i + 1] == '+';
      ++i;
      continue;
    }
    if (c == '%') percent = true;
    if (c == '\\' && i + 1 < fmt.size()) {
      lit = std::string(1, fmt[++i]);
    } else if (c == '"') {
      const auto close = fmt.find('"', i + 1);
      const auto end = close == std::string_view::npos ? fmt.size() : close;
      lit = std::string(fmt.substr(i + 1, end - i - 1));
      i = end;
    } else {
      lit = std::string(1, c);
    }
    (seenDigit ? suffix : prefix) += lit;
  }
  double v = std::fabs(value);
  if (percent) v *= 100;
  const int decimals = fracZeros + fracHashes;
  std::string body;
  if (scientific) {
    int exp = 0;
    if (v != 0) {
      exp = static_cast<int>(std::floor(std::log10(v))) - (intDigits > 0 ? intDigits - 1 : 0);
      v /= std::pow(10.0, exp);
    }
    std::string ip, fp;
    FixedParts(v, decimals, ip, fp);
    if (ip.size() > static_cast<std::size_t>(std::max(intDigits, 1)) && v != 0) {
      ++exp;
      v /= 10;
      FixedParts(v, decimals, ip, fp);
    }
    while (fp.size() > static_cast<std::size_t>(fracZeros) && !fp.empty() && fp.back() == '0')
      fp.pop_back();
    body = ip + (fp.empty() ? "" : "." + fp) + "E";
    body += exp < 0 ? "-" : (expPlus ? "+" : "");
    std::string e = std::to_string(std::abs(exp));
    while (static_cast<int>(e.size()) < expDigits) e = "0" + e;
    body += e;
  } else {
    std::string ip, fp;
    FixedParts(v, decimals, ip, fp);
    while (fp.size() > static_cast<std::size_t>(fracZeros) && !fp.empty() && fp.back() == '0')
      fp.pop_back();
    if (ip == "0" && intZeros == 0) ip.clear();
    while (static_cast<int>(ip.size()) < intZeros) ip = "0" + ip;
    if (thousands) ip = GroupThousands(ip);
    body = ip;
    if (!fp.empty()) body += "." + fp;
    if (seenDot && fp.empty() && fracZeros == 0 && fracHashes == 0) body += ".";
  }
  const bool showMinus =
      value < 0 && !negativeSection && body.find_first_not_of("0. E+-") != std::string::npos;
  return (showMinus ? "-" : "") + prefix + body + suffix;
}

std::string NamedNumber(double v, std::string_view fmt, bool& known) {
  known = true;
  std::string ip, fp;
  auto sign = [&](const std::string& s) { return v < 0 ? "-" + s : s; };
  if (base::EqualsNoCase(fmt, "General Number")) return FormatNumber(v);
  if (base::EqualsNoCase(fmt, "Fixed")) {
    FixedParts(v, 2, ip, fp);
    return sign(ip + "." + fp);
  }
  if (base::EqualsNoCase(fmt, "Standard")) {
    FixedParts(v, 2, ip, fp);
    return sign(GroupThousands(ip) + "." + fp);
  }
  if (base::EqualsNoCase(fmt, "Currency")) {
    FixedParts(v, 2, ip, fp);
    return sign(GroupThousands(ip) + "." + fp);
  }
  if (base::EqualsNoCase(fmt, "Percent")) {
    FixedParts(v * 100, 2, ip, fp);
    return sign(ip + "." + fp + "%");
  }
  if (base::EqualsNoCase(fmt, "Scientific")) return CustomNumber(v, "0.00E+00", false);
  if (base::EqualsNoCase(fmt, "Yes/No")) return v != 0 ? "Yes" : "No";
  if (base::EqualsNoCase(fmt, "True/False")) return v != 0 ? "True" : "False";
  if (base::EqualsNoCase(fmt, "On/Off")) return v != 0 ? "On" : "Off";
  known = false;
  return {};
}

}  // namespace

std::string FormatNumberValue(double value, std::string_view format) {
  if (format.empty()) return FormatNumber(value);
  bool known = false;
  std::string named = NamedNumber(value, format, known);
  if (known) return named;
  // Sections: positive;negative;zero.
  std::vector<std::string> sections;
  {
    std::string cur;
    bool quoted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
      const char c = format[i];
      if (c == '"') quoted = !quoted;
      if (c == '\\' && i + 1 < format.size()) {
        cur += c;
        cur += format[++i];
        continue;
      }
      if (c == ';' && !quoted) {
        sections.push_back(cur);
        cur.clear();
        continue;
      }
      cur += c;
    }
    sections.push_back(cur);
  }
  if (value == 0 && sections.size() >= 3 && !sections[2].empty())
    return CustomNumber(value, sections[2], false);
  if (value < 0 && sections.size() >= 2 && !sections[1].empty())
    return CustomNumber(value, sections[1], true);
  return CustomNumber(value, sections[0], false);
}

std::string FormatDateValue(const DateTimeParts& p, std::string_view fmt, int firstDay) {
  if (fmt.empty() || base::EqualsNoCase(fmt, "General Date")) return GeneralDate(p);
  if (base::EqualsNoCase(fmt, "Long Date")) return LongDate(p);
  if (base::EqualsNoCase(fmt, "Medium Date"))
    return Two(p.day) + "-" + std::string(kMonths[p.month - 1]).substr(0, 3) + "-" +
           Two(p.year % 100);
  if (base::EqualsNoCase(fmt, "Short Date")) return ShortDate(p);
  if (base::EqualsNoCase(fmt, "Long Time")) return LongTime(p);
  if (base::EqualsNoCase(fmt, "Medium Time")) {
    const int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    return Two(h12) + ":" + Two(p.minute) + (p.hour < 12 ? " AM" : " PM");
  }
  if (base::EqualsNoCase(fmt, "Short Time")) return Two(p.hour) + ":" + Two(p.minute);

  // Is there an AM/PM marker anywhere? Then hours are on the 12-hour clock.
  bool twelve = false;
  for (std::size_t i = 0; i < fmt.size(); ++i)
    if (StartsNoCase(fmt, i, "AM/PM") || StartsNoCase(fmt, i, "A/P") ||
        StartsNoCase(fmt, i, "AMPM"))
      twelve = true;
  const int hour = twelve ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;

  std::string out;
  bool afterHour = false;  // "m" right after an hour means minutes
  std::size_t i = 0;
  auto run = [&](char c) {
    std::size_t j = i;
    while (j < fmt.size() && (fmt[j] | 0x20) == c) ++j;
    return j - i;
  };
  while (i < fmt.size()) {
    const char c = fmt[i];
    const char lc = static_cast<char>(c | 0x20);
    if (c == '\\' && i + 1 < fmt.size()) {
      out += fmt[i + 1];
      i += 2;
      continue;
    }
    if (c == '"') {
      const auto close = fmt.find('"', i + 1);
      const auto end = close == std::string_view::npos ? fmt.size() : close;
      out += fmt.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (StartsNoCase(fmt, i, "AM/PM")) {
      const bool upper = fmt[i] == 'A';
      out += p.hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    if (StartsNoCase(fmt, i, "AMPM")) {
      out += p.hour < 12 ? "AM" : "PM";
      i += 4;
      continue;
    }
    if (StartsNoCase(fmt, i, "A/P")) {
      const bool upper = fmt[i] == 'A';
      out += p.hour < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
      i += 3;
      continue;
    }
    std::size_t n = 0;
    switch (lc) {
      case 'd':
        n = run('d');
        if (n == 1)
          out += std::to_string(p.day);
        else if (n == 2)
          out += Two(p.day);
        else if (n == 3)
          out += std::string(kDays[DayOfWeek(p) - 1]).substr(0, 3);
        else if (n == 4)
          out += kDays[DayOfWeek(p) - 1];
        else if (n == 5)
          out += ShortDate(p);
        else
          out += LongDate(p);
        afterHour = false;
        break;
      case 'm':
        n = run('m');
        if (afterHour && n <= 2) {
          out += n == 1 ? std::to_string(p.minute) : Two(p.minute);
        } else if (n == 1) {
          out += std::to_string(p.month);
        } else if (n == 2) {
          out += Two(p.month);
        } else if (n == 3) {
          out += std::string(kMonths[p.month - 1]).substr(0, 3);
        } else {
          out += kMonths[p.month - 1];
        }
        afterHour = false;
        break;
      case 'y':
        n = run('y');
        if (n == 1)
          out += std::to_string(DayOfYear(p));
        else if (n <= 3)
          out += Two(p.year % 100);
        else
          out += std::to_string(p.year);
        afterHour = false;
        break;
      case 'h':
        n = run('h');
        out += n == 1 ? std::to_string(hour) : Two(hour);
        afterHour = true;
        break;
      case 'n':
        n = run('n');
        out += n == 1 ? std::to_string(p.minute) : Two(p.minute);
        afterHour = false;
        break;
      case 's':
        n = run('s');
        out += n == 1 ? std::to_string(p.second) : Two(p.second);
        afterHour = false;
        break;
      case 'w':
        n = run('w');
        out += std::to_string(n == 1 ? (DayOfWeek(p) - firstDay + 7) % 7 + 1
                                     : WeekOfYear(p, firstDay));
        afterHour = false;
        break;
      case 'q':
        n = 1;
        out += std::to_string((p.month - 1) / 3 + 1);
        afterHour = false;
        break;
      case 'c':
        n = 1;
        out += GeneralDate(p);
        break;
      case 't':
        if (run('t') >= 5) {
          n = run('t');
          out += LongTime(p);
          break;
        }
        [[fallthrough]];
      default:
        n = 1;
        out += c;
        break;
    }
    i += n;
  }
  return out;
}

}  // namespace zyl::db
