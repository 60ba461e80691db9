// The stored form of a modification time: local time as "YYYY-MM-DD HH:MM:SS", or
// "YYYY-MM-DD" alone for exactly midnight, so that text order is date order.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zyl::base {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;  // the zero date
  int hour = 0, minute = 0, second = 0;
};

std::string FormatModified(std::time_t t);
std::string FormatModified(const DateTimeParts& parts);
// The stored form of a file's modification time; nullopt when the file cannot be examined.
std::optional<std::string> FileModifiedText(std::string_view path);
// Reads a stored `modified` text back ("YYYY-MM-DD" with an optional " HH:MM:SS").
std::optional<DateTimeParts> ParseModified(std::string_view text);

// Local time of `t` as parts.
DateTimeParts LocalParts(std::time_t t);
std::time_t Now();

}  // namespace zyl::base
