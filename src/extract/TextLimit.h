// How much text one document may give. A huge file (a log of a gigabyte, a mailbox's one giant
// message) would otherwise be read, decoded and copied whole, several times its size in memory,
// only for the database to refuse the row. Readers read a bounded leading part where the format
// allows, and what they give is cut to the run's bound ([Build] MaxTextBytes, taken into
// ExtractOptions when the run starts); the build says when it cut.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <cstdint>
#include <string>

namespace zyl::extract {

// The bound of the run this thread reads for: the innermost TextLimitScope's, else the default
// of [Build] MaxTextBytes. Readers ask it here rather than taking it through every signature;
// the value comes from the run's options, never from the settings while the run goes on.
std::uint64_t MaxTextBytes();

// Sets the bound for the readers this thread calls while the scope lives (GetFileInfo and the
// mail readers open one from their options). Scopes nest; a value <= 0 means the default.
class TextLimitScope {
 public:
  explicit TextLimitScope(std::int64_t maxTextBytes);
  ~TextLimitScope();
  TextLimitScope(const TextLimitScope&) = delete;
  TextLimitScope& operator=(const TextLimitScope&) = delete;

 private:
  std::uint64_t previous_;
};
// How many bytes of a markup file (HTML, RTF, mail) are read for that much text: markup is
// mostly tags and codes.
std::uint64_t MaxMarkupBytes();

// Cuts UTF-8 text to at most maxBytes without splitting a character; true when it cut.
bool CutText(std::string& text, std::uint64_t maxBytes);

// The leading part of a file ends where the reading stopped, maybe inside a character: drops an
// unfinished UTF-8 sequence at the end, and the odd last byte of UTF-16 text with a byte-order
// mark, so that the part is decoded as the whole file would be.
void TrimPartialCharacter(std::string& bytes);

// The leading part of a markup file (RTF, CSV, DIF), as much as MaxTextBytes of text can come
// from; `cut` tells whether the file goes on. nullopt when it cannot be read.
std::optional<std::string> ReadMarkupFile(std::string_view path, bool& cut);

}  // namespace zyl::extract
