#include "settings/CommonFunctions.h"

#include <algorithm>
#include <cstdio>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/Settings.h"

namespace zyl::settings {

void AddToRecentList(std::string_view item, std::string& list, std::int32_t limit) {
  if (item.empty()) return;
  std::vector<std::string> kept;
  for (std::string& entry : base::Split(list, ";")) {
    if (!base::EqualsNoCase(entry, item)) kept.push_back(std::move(entry));
  }
  list = std::string(item) + ";" + base::Join(kept, ";");
  const auto n = static_cast<std::size_t>(std::max<std::int32_t>(limit, 1));
  std::vector<std::string> pieces = base::Split(list, ";");
  if (pieces.size() > n) {
    pieces.resize(n);
    list = base::Join(pieces, ";");
  }
}

void AddToRecentList(std::string_view item, std::string& list) {
  AddToRecentList(item, list, Config().QueryRecentLenght);
}

std::vector<std::string> SplitRecentList(std::string_view list) {
  std::vector<std::string> out;
  for (std::string& entry : base::Split(list, ";")) {
    if (!entry.empty()) out.push_back(std::move(entry));
  }
  return out;
}

void FitLabelText(std::string& text, std::int32_t maxWidth, const TextWidthFn& width,
                  std::int32_t keep) {
  if (keep <= 0) keep = 10;
  const auto head = static_cast<std::size_t>(keep);
  // Each round is only taken while it makes the text shorter; the shortest form is the head
  // followed by " .. ", which ends the loop whatever its width.
  while (width(text) > maxWidth && base::Len(text) > head + 4) {
    text = base::Left(text, head) + " .. " + base::Mid(text, head + 6);
  }
}

std::string FormatElapsed(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const std::int64_t h = seconds / 3600;
  const std::int64_t m = (seconds % 3600) / 60;
  const std::int64_t s = seconds % 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(h),
                static_cast<long long>(m), static_cast<long long>(s));
  return buf;
}

bool SaveTextFile(std::string_view path, std::string_view text) {
  std::string bytes(text);
  bytes.append("\r\n");
  return base::WriteFileAtomic(path, bytes);
}

std::string ReadTextFile(std::string_view path) {
  if (!base::FileExists(path)) return {};
  return base::DecodeLegacyText(base::ReadFileBytes(path).value_or(""));
}

}  // namespace zyl::settings
