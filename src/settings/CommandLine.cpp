#include "settings/CommandLine.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "base/Strings.h"

namespace zyl::settings {

namespace {

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// A text that reads as a number as a whole (blanks around it allowed): an optional sign, digits
// with an optional fraction, an optional exponent. Hexadecimal, "inf" and "nan" are names.
std::optional<double> ReadsAsNumber(std::string_view text) {
  std::string_view t = base::TrimView(text);
  if (t.empty()) return std::nullopt;
  bool negative = false;
  if (t.front() == '+' || t.front() == '-') {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty() || !(std::isdigit(static_cast<unsigned char>(t.front())) || t.front() == '.')) {
    return std::nullopt;
  }
  for (char c : t) {
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' ||
          c == '+' || c == '-')) {
      return std::nullopt;
    }
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return negative ? -v : v;
}

}  // namespace

CCommandLine::CCommandLine(std::string_view commandLine) {
  ParseCommandLine(commandLine);
}

CCommandLine::CCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr) arguments_.push_back(SplitArgument(argv[i]));
  }
}

std::size_t CCommandLine::FindNextQuote(std::string_view text, std::size_t start) {
  const std::size_t p1 = base::InStr(start, text, "'");
  const std::size_t p2 = base::InStr(start, text, "\"");
  if (p1 >= 1 && (p2 == 0 || p1 < p2)) return p1;
  if (p2 != 0) return p2;
  return p1;
}

void CCommandLine::ParseCommandLine(std::string_view commandLine) {
  // Positions below are 1-based code-point positions. `cmd` always ends with a blank, so a
  // blank is always found and every round consumes at least one character.
  std::string cmd = base::Trim(commandLine) + " ";
  while (base::Len(cmd) > 1) {
    std::size_t sp = base::InStr(cmd, " ");
    const std::size_t q1 = FindNextQuote(cmd, 1);
    const std::size_t q2 = FindNextQuote(cmd, q1 + 1);
    // Only the first quote pair is looked at: a quoted stretch that starts before the first
    // blank and closes after it holds that blank. Either quote closes a stretch opened by either.
    if (q1 < sp && q2 > sp) sp = base::InStr(q2, cmd, " ");
    const std::string argument = base::Trim(base::Left(cmd, sp));
    cmd = base::Trim(base::Mid(cmd, sp + 1)) + " ";
    arguments_.push_back(SplitArgument(argument));
  }
}

CCommandLine::Argument CCommandLine::SplitArgument(std::string_view text) {
  const std::string_view t = base::TrimView(text);
  Argument a;
  if (const std::size_t eq = t.find('='); eq != std::string_view::npos) {
    a.name = std::string(t.substr(0, eq));
    a.value = std::string(t.substr(eq + 1));
  } else {
    a.value = std::string(t);
  }
  // The two ends are looked at independently; the quotes need not match.
  if (!a.value.empty() && IsQuote(a.value.front())) a.value.erase(0, 1);
  if (!a.value.empty() && IsQuote(a.value.back())) a.value.pop_back();
  return a;
}

std::string CCommandLine::GetArgumentName(std::int32_t n) const {
  if (n < 1 || n > CountArguments()) return {};
  return arguments_[static_cast<std::size_t>(n - 1)].name;
}

std::int32_t CCommandLine::GetArgumentNumber(std::string_view name) const {
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    if (arguments_[i].name == name) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

std::string CCommandLine::GetArgumentValue(std::int32_t n) const {
  if (n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
    return {};
  if (n < 1 || n > CountArguments()) return {};
  return arguments_[static_cast<std::size_t>(n - 1)].value;
}

std::string CCommandLine::GetArgumentValue(std::string_view nameOrNumber) const {
  if (const auto number = ReadsAsNumber(nameOrNumber)) {
    // Rounded as a 16-bit conversion rounds (halves to even); a number that does not fit
    // selects nothing.
    const double r = std::nearbyint(*number);
    if (!(r >= std::numeric_limits<std::int16_t>::min() &&
          r <= std::numeric_limits<std::int16_t>::max())) {
      return {};
    }
    return GetArgumentValue(static_cast<std::int32_t>(r));
  }
  for (const Argument& a : arguments_) {
    if (a.name == nameOrNumber) return a.value;
  }
  return {};
}

}  // namespace zyl::settings
