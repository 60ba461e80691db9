#include "db/JetDate.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "base/Strings.h"

namespace zyl::db {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const std::int64_t kSerialEpoch = DaysFromCivil(1899, 12, 30);

struct Number {
  int value = 0;
  int digits = 0;
};

// A small cursor over the literal's text.
class Scanner {
 public:
  explicit Scanner(std::string_view s) : s_(s) {}
  void SkipBlanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
  }
  bool AtEnd() {
    SkipBlanks();
    return i_ >= s_.size();
  }
  bool Peek(char c) const { return i_ < s_.size() && s_[i_] == c; }
  bool Eat(char c) {
    if (!Peek(c)) return false;
    ++i_;
    return true;
  }
  std::optional<Number> ReadNumber() {
    std::size_t j = i_;
    Number n;
    while (j < s_.size() && s_[j] >= '0' && s_[j] <= '9') {
      if (n.digits >= 6) return std::nullopt;
      n.value = n.value * 10 + (s_[j] - '0');
      ++n.digits;
      ++j;
    }
    if (n.digits == 0) return std::nullopt;
    i_ = j;
    return n;
  }
  // "AM"/"PM" (any case, with an optional "." after each letter); 0 none, 1 AM, 2 PM.
  int ReadMeridiem() {
    SkipBlanks();
    if (i_ >= s_.size()) return 0;
    const char c = static_cast<char>(s_[i_] | 0x20);
    if (c != 'a' && c != 'p') return 0;
    std::size_t j = i_ + 1;
    if (j < s_.size() && s_[j] == '.') ++j;
    if (j >= s_.size() || (s_[j] | 0x20) != 'm') return 0;
    ++j;
    if (j < s_.size() && s_[j] == '.') ++j;
    i_ = j;
    return c == 'a' ? 1 : 2;
  }
  std::size_t pos() const { return i_; }
  void set_pos(std::size_t p) { i_ = p; }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
};

// "h:mm[:ss] [AM|PM]" or "h AM|PM".
bool ReadTime(Scanner& sc, DateTimeParts& p) {
  sc.SkipBlanks();
  auto h = sc.ReadNumber();
  if (!h) return false;
  int minute = 0, second = 0;
  bool hasColon = false;
  if (sc.Eat(':')) {
    hasColon = true;
    auto m = sc.ReadNumber();
    if (!m) return false;
    minute = m->value;
    if (sc.Eat(':')) {
      auto s = sc.ReadNumber();
      if (!s) return false;
      second = s->value;
    }
  }
  int hour = h->value;
  const int mer = sc.ReadMeridiem();
  if (!hasColon && mer == 0) return false;
  if (mer != 0) {
    if (hour < 1 || hour > 12) return false;
    if (mer == 1 && hour == 12) hour = 0;
    if (mer == 2 && hour != 12) hour += 12;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  p.hour = hour;
  p.minute = minute;
  p.second = second;
  return sc.AtEnd();
}

bool LooksLikeTimeOnly(std::string_view s) {
  const auto colon = s.find(':');
  const auto sep = s.find_first_of("/-.");
  if (colon != std::string_view::npos) return sep == std::string_view::npos || sep > colon;
  // "10 AM"
  return sep == std::string_view::npos;
}

// Reads "a<sep>b[<sep>c]" into numbers; the separator must be the same between all parts.
bool ReadDateNumbers(Scanner& sc, std::vector<Number>& parts, char& sep) {
  sc.SkipBlanks();
  auto a = sc.ReadNumber();
  if (!a) return false;
  parts.push_back(*a);
  sep = 0;
  for (char c : {'/', '-', '.'}) {
    if (sc.Peek(c)) sep = c;
  }
  if (!sep) return false;
  while (parts.size() < 3 && sc.Eat(sep)) {
    auto b = sc.ReadNumber();
    if (!b) return false;
    parts.push_back(*b);
  }
  return parts.size() >= 2;
}

int YearOf(const Number& n) {
  return ExpandYear(n.value, n.digits);
}

bool Finish(DateTimeParts& p, Scanner& sc) {
  if (!IsValidDate(p.year, p.month, p.day)) return false;
  if (sc.AtEnd()) return true;
  return ReadTime(sc, p);
}

std::optional<DateTimeParts> TimeOnly(std::string_view text) {
  DateTimeParts p;  // the zero date
  Scanner sc(text);
  if (!ReadTime(sc, p)) return std::nullopt;
  return p;
}

}  // namespace

int ExpandYear(int year, int digits) {
  if (digits <= 2) return year < 70 ? 2000 + year : 1900 + year;
  return year;
}

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

namespace {
// Both date readers: a literal is read month first, a typed text also takes day.month.year.
std::optional<DateTimeParts> ParseDate(std::string_view text, int currentYear, bool dayMonthYear) {
  text = base::TrimView(text);
  if (text.empty()) return std::nullopt;
  if (LooksLikeTimeOnly(text)) return TimeOnly(text);
  Scanner sc(text);
  std::vector<Number> n;
  char sep = 0;
  if (!ReadDateNumbers(sc, n, sep)) return std::nullopt;
  if (sep == '.' && !dayMonthYear) return std::nullopt;
  DateTimeParts p;
  if (n[0].digits >= 3) {  // year first: 2002-01-05, 2002/1/5
    if (n.size() != 3) return std::nullopt;
    p.year = n[0].value;
    p.month = n[1].value;
    p.day = n[2].value;
  } else if (sep == '.') {  // day.month.year, the form a person here writes
    p.day = n[0].value;
    p.month = n[1].value;
    p.year = n.size() == 3 ? YearOf(n[2]) : currentYear;
  } else {
    int month = n[0].value, day = n[1].value;
    if (month > 12 && day <= 12) std::swap(month, day);
    p.month = month;
    p.day = day;
    p.year = n.size() == 3 ? YearOf(n[2]) : currentYear;
  }
  // The stored form writes "T"-less "YYYY-MM-DD HH:MM:SS"; a lone "T" would not be a date.
  if (!Finish(p, sc)) return std::nullopt;
  return p;
}
}  // namespace

std::optional<DateTimeParts> ParseDateLiteral(std::string_view text, int currentYear) {
  return ParseDate(text, currentYear, false);
}

std::optional<DateTimeParts> ParseDateText(std::string_view text, int currentYear) {
  return ParseDate(text, currentYear, true);
}

double DateToSerial(const DateTimeParts& p) {
  const double days = static_cast<double>(
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
      kSerialEpoch);
  const double frac = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
  // Before the zero date the fraction still counts forward in magnitude (-1.25 is
  // 29.12.1899 06:00).
  return days < 0 ? days - frac : days + frac;
}

std::optional<DateTimeParts> SerialToDate(double serial) {
  if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0) return std::nullopt;
  const double whole = serial < 0 ? std::ceil(serial) : std::floor(serial);
  double frac = std::fabs(serial - whole);
  long long secs = std::llround(frac * 86400.0);
  long long day = static_cast<long long>(whole);
  if (secs >= 86400) {
    secs -= 86400;
    day += serial < 0 ? -1 : 1;
  }
  DateTimeParts p;
  CivilFromDays(day + kSerialEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  if (p.year < 100 || p.year > 9999) return std::nullopt;
  return p;
}

std::string DateText(const DateTimeParts& p) {
  return base::FormatModified(p);
}

int DayOfWeek(const DateTimeParts& p) {
  const std::int64_t days =
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day));
  // 1970-01-01 was a Thursday (5 when Sunday is 1).
  const std::int64_t w = ((days % 7) + 7 + 4) % 7;  // 0 = Sunday
  return static_cast<int>(w) + 1;
}

}  // namespace zyl::db
