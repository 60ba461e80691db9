// Small helpers shared by the windows and engines: recent lists, label text fitting, elapsed
// time, whole-file text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::settings {

// Recent lists are ";"-separated entries, newest first.
//
// Puts `item` at the head of `list`, removing every entry equal to it (letter case ignored),
// and keeps at most `limit` entries; a list that was not cut keeps whatever trailing ";" it
// had. An empty item changes nothing. A limit below 1 is taken as 1: the newest entry is always
// kept, so a list never silently stops remembering.
void AddToRecentList(std::string_view item, std::string& list, std::int32_t limit);
// The same with the limit of the settings (QueryRecentLenght).
void AddToRecentList(std::string_view item, std::string& list);

// The non-empty entries of a recent list, in order (what a combo box is filled with).
std::vector<std::string> SplitRecentList(std::string_view list);

// Measures a text as it would be shown, in the caller's units.
using TextWidthFn = std::function<int(std::string_view)>;

// Shortens `text` until it is no wider than `maxWidth`: the first `keep` characters stay, then
// " .. ", then the end of the text; each round drops one more character after the " .. ".
// Stops at the kept head + " .. " even when that is still too wide, and never makes a text
// longer than it was. `keep` of 0 or less means 10.
void FitLabelText(std::string& text, std::int32_t maxWidth, const TextWidthFn& width,
                  std::int32_t keep = 10);

// "hh:mm:ss", each part at least two digits; hours are not limited to two digits. Negative
// durations show as "00:00:00".
std::string FormatElapsed(std::int64_t seconds);

// Replaces the file with `text` followed by CR LF. Returns false when it could not be written
// (callers that have nowhere to report it may ignore the result).
bool SaveTextFile(std::string_view path, std::string_view text);

// The whole file as text (base::DecodeLegacyText); "" when the file does not exist or cannot
// be read.
std::string ReadTextFile(std::string_view path);

}  // namespace zyl::settings
