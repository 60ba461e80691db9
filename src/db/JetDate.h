// Dates as the dialect knows them: "#m/d/yy#" literals, texts a person types, serial day
// numbers (days since 30 December 1899, the time as the fraction) and the stored `modified`
// text form that every date value takes inside a statement.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/DateTime.h"

namespace zyl::db {

using base::DateTimeParts;

// 00-69 are 2000-2069, 70-99 are 1970-1999; other years are taken as written.
int ExpandYear(int year, int digits);
bool IsValidDate(int year, int month, int day);

// The text between the "#" signs of a date literal: month/day/year (a first number above 12
// with a second one of at most 12 is read as day/month), year-month-day, month/day of the
// current year, each with an optional time "h:mm[:ss] [AM|PM]", or a time alone (on the zero
// date 30.12.1899).
std::optional<DateTimeParts> ParseDateLiteral(std::string_view text, int currentYear);

// A date written as text and converted at run time: the stored form, day.month.year,
// month/day/year, year-month-day, each with an optional time, or a time alone.
std::optional<DateTimeParts> ParseDateText(std::string_view text, int currentYear);

// Days since 30.12.1899 (negative before it), time as the fraction.
double DateToSerial(const DateTimeParts& p);
// nullopt outside the years 100 to 9999.
std::optional<DateTimeParts> SerialToDate(double serial);

// The stored form ("YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS").
std::string DateText(const DateTimeParts& p);

int DaysInMonth(int year, int month);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const DateTimeParts& p);

}  // namespace zyl::db
