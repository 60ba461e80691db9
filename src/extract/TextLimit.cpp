#include "extract/TextLimit.h"

#include "base/Paths.h"
#include "settings/Settings.h"

namespace zyl::extract {

namespace {
bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::uint64_t Bound(std::int64_t configured) {
  static const std::int64_t kDefault = settings::Settings{}.MaxTextBytes;
  return static_cast<std::uint64_t>(configured > 0 ? configured : kDefault);
}

// Per thread: the build's workers each read for the run that started them.
thread_local std::uint64_t currentBound = 0;
}  // namespace

std::uint64_t MaxTextBytes() {
  return currentBound ? currentBound : Bound(0);
}

TextLimitScope::TextLimitScope(std::int64_t maxTextBytes) : previous_(currentBound) {
  currentBound = Bound(maxTextBytes);
}

TextLimitScope::~TextLimitScope() {
  currentBound = previous_;
}

std::uint64_t MaxMarkupBytes() {
  return 2 * MaxTextBytes();
}

bool CutText(std::string& text, std::uint64_t maxBytes) {
  if (text.size() <= maxBytes) return false;
  std::size_t end = static_cast<std::size_t>(maxBytes);
  // Back to the first byte of the character that would be split.
  while (end > 0 && IsContinuation(text[end])) --end;
  text.resize(end);
  return true;
}

void TrimPartialCharacter(std::string& bytes) {
  const bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                           (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  if (utf16) {
    if (bytes.size() % 2) bytes.pop_back();
    return;
  }
  // Find the last lead byte among the last four and drop it when its sequence is unfinished.
  std::size_t i = bytes.size();
  int continuations = 0;
  while (i > 0 && continuations < 4 && IsContinuation(bytes[i - 1])) {
    --i;
    ++continuations;
  }
  if (i == 0) return;
  const auto lead = static_cast<unsigned char>(bytes[i - 1]);
  const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > 1 && continuations + 1 < length) bytes.resize(i - 1);
}

std::optional<std::string> ReadMarkupFile(std::string_view path, bool& cut) {
  std::optional<std::string> bytes = base::ReadFileBytes(path, MaxMarkupBytes(), &cut);
  if (bytes && cut) TrimPartialCharacter(*bytes);
  return bytes;
}

}  // namespace zyl::extract
