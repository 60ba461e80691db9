// The command-line parser on arbitrary text, and on the same text given as argument words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "settings/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using zyl::settings::CCommandLine;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const CCommandLine c(text);
  // Every argument consumes at least one character of the text.
  if (static_cast<std::size_t>(c.CountArguments()) > size) std::abort();
  for (std::int32_t i = 0; i <= c.CountArguments() + 1; ++i) {
    (void)c.GetArgumentName(i);
    (void)c.GetArgumentValue(i);
  }
  (void)c.GetArgumentValue("action");
  (void)c.GetArgumentValue(text.substr(0, 16));
  (void)c.GetArgumentNumber(c.GetArgumentName(1));

  std::vector<std::string> words = zyl::base::Split(text, "\n");
  std::vector<const char*> argv{"zyl"};
  for (const std::string& w : words) argv.push_back(w.c_str());
  const CCommandLine fromWords(static_cast<int>(argv.size()), argv.data());
  if (fromWords.CountArguments() != static_cast<std::int32_t>(words.size())) std::abort();
  return 0;
}
