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

// A date typed by a person: "dd.mm.yyyy" (or "d.m.yy"), ISO "yyyy-mm-dd" or "m/d/yyyy",
// optionally followed by a blank and a time "hh:mm[:ss]". Two-digit years 00-69 are 20xx,
// 70-99 19xx. nullopt when the text is not a valid calendar date.
std::optional<DateTimeParts> ParseUserDate(std::string_view text);
// "dd.mm.yyyy", the form in which today's date is written into a form.
std::string FormatUserDate(const DateTimeParts& parts);
// Moves a date by whole days (negative: back), keeping the time of day.
DateTimeParts AddDays(const DateTimeParts& parts, int days);

// Local time of `t` as parts.
DateTimeParts LocalParts(std::time_t t);
std::time_t Now();

}  // namespace zyl::base
