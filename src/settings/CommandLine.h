// The program's arguments: name=value pairs, quotes around a value stripped.
//
//   zyl action=update index="/home/ann/My docs.zyl" log=/tmp/update.log
//
// An argument without "=" has an empty name and can only be reached by its number. Names are
// matched exactly (letter case counts); arguments are numbered from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::settings {

class CCommandLine {
 public:
  struct Argument {
    std::string name;
    std::string value;
  };

  CCommandLine() = default;
  // A whole command line as one text (without the program name), split at blanks; a stretch
  // opened by a quote before the first blank runs to its closing quote.
  explicit CCommandLine(std::string_view commandLine);
  // Words already split by the shell: one argument per element after argv[0].
  CCommandLine(int argc, const char* const* argv);

  std::int32_t CountArguments() const { return static_cast<std::int32_t>(arguments_.size()); }
  // Name of argument n; "" when n is out of 1..count.
  std::string GetArgumentName(std::int32_t n) const;
  // Number of the first argument named exactly `name`; 0 when none.
  std::int32_t GetArgumentNumber(std::string_view name) const;
  // Value of argument n (taken as a 16-bit number); "" when out of range.
  std::string GetArgumentValue(std::int32_t n) const;
  // A text that reads as a number selects by number ("2" is argument 2); any other text gives
  // the value of the first argument with exactly that name, "" when none.
  std::string GetArgumentValue(std::string_view nameOrNumber) const;

  const std::vector<Argument>& Arguments() const { return arguments_; }

  // One argument text into name and value (exposed for the tests and the fuzz target).
  static Argument SplitArgument(std::string_view text);
  // 1-based position of the first apostrophe or double quote at or after `start`; 0 when none.
  static std::size_t FindNextQuote(std::string_view text, std::size_t start);

 private:
  void ParseCommandLine(std::string_view commandLine);

  std::vector<Argument> arguments_;
};

}  // namespace zyl::settings
