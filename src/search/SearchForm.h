// Every field of the search form with its default: the model that the search window, the
// document server and the command line fill before a search.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/DateTime.h"
#include "search/SearchRequest.h"

namespace zyl::search {

enum DateUnit : int { kMinutes = 0, kHours, kDays, kWeeks, kMonths, kYears };
enum SizeRelation : int { kGreater = 0, kLess, kEqual };
enum SizeUnit : int { kBytes = 0, kKilobytes, kMegabytes };

struct SearchForm {
  std::string searchText;  // the search box
  int searchType = kAnyWord;
  bool wholeWord = false;      // "слово целиком"
  bool searchInFound = false;  // "искать в найденном"
  bool archiveOnly = false;    // "только в архивах"
  std::string title, author, fileName;

  bool dateBetween = false;  // "Дата между"
  std::string dateFrom, dateTo;
  bool notEarlier = false;  // "Не раньше чем"
  std::string notEarlierCount;
  int dateUnit = kDays;
  bool sizeBetween = false;  // "Между"
  std::string sizeFrom, sizeTo;
  bool sizeByCondition = false;  // "По условию"
  int sizeRelation = kGreater;
  std::string sizeValue;
  int sizeUnit = kKilobytes;

  std::array<bool, kTypePositions> types{};  // the document-type list, positions from 1

  bool operator==(const SearchForm&) const = default;
};

// What pressing the search button does to the search box first: double quotes and apostrophes
// go, except in query-language mode.
std::string CleanSearchBox(const std::string& text, int searchType);

// The request of a form; `now` decides what "not earlier than" counts back from (midnight of
// its day).
SearchRequest RequestFromForm(const SearchForm& form, const base::DateTimeParts& now);

// Moves a date-time back by `count` units (calendar months and years keep the day, clamped to
// the month's end).
base::DateTimeParts MoveBack(const base::DateTimeParts& from, std::int64_t count, int unit);

}  // namespace zyl::search
