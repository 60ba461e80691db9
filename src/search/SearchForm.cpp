#include "search/SearchForm.h"

#include <algorithm>

#include "base/Strings.h"

namespace zyl::search {

std::string CleanSearchBox(const std::string& text, int searchType) {
  if (searchType == kQueryLanguage) return text;
  return base::Replace(base::Replace(text, "\"", ""), "'", "");
}

namespace {
int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

base::DateTimeParts BackMinutes(base::DateTimeParts p, std::int64_t minutes) {
  std::int64_t total = p.hour * 60 + p.minute - minutes;
  std::int64_t days = 0;
  if (total < 0) {
    days = (-total + 1439) / 1440;
    total += days * 1440;
  }
  p.hour = static_cast<int>(total / 60);
  p.minute = static_cast<int>(total % 60);
  return base::AddDays(p, -static_cast<int>(days));
}

base::DateTimeParts BackMonths(base::DateTimeParts p, std::int64_t months) {
  std::int64_t index = static_cast<std::int64_t>(p.year) * 12 + (p.month - 1) - months;
  if (index < 0) index = 0;
  p.year = static_cast<int>(index / 12);
  p.month = static_cast<int>(index % 12) + 1;
  p.day = std::min(p.day, DaysInMonth(p.year, p.month));
  return p;
}
}  // namespace

base::DateTimeParts MoveBack(const base::DateTimeParts& from, std::int64_t count, int unit) {
  // Counts far beyond any calendar are clamped, so a typed 9999999999 cannot loop for ages.
  count = std::clamp<std::int64_t>(count, -3'000'000, 3'000'000);
  switch (unit) {
    case kMinutes:
      return BackMinutes(from, count);
    case kHours:
      return BackMinutes(from, count * 60);
    case kDays:
      return base::AddDays(from, static_cast<int>(-count));
    case kWeeks:
      return base::AddDays(from, static_cast<int>(-count * 7));
    case kMonths:
      return BackMonths(from, count);
    case kYears:
      return BackMonths(from, count * 12);
    default:
      return from;
  }
}

SearchRequest RequestFromForm(const SearchForm& f, const base::DateTimeParts& now) {
  SearchRequest r;
  r.Content = base::Trim(f.searchText);
  r.SearchType = static_cast<std::int16_t>(f.searchType);
  r.Title = f.title;
  r.Author = f.author;
  r.Location = f.fileName;
  r.WholeWord = f.wholeWord;
  r.ArchiveOnly = f.archiveOnly;
  r.TypeChecked = f.types;
  if (f.dateBetween) {
    r.DateFrom = f.dateFrom;
    r.DateTo = f.dateTo;
  }
  if (f.notEarlier) {
    base::DateTimeParts midnight = now;
    midnight.hour = midnight.minute = midnight.second = 0;
    r.DateFrom =
        base::FormatUserDate(MoveBack(midnight, base::ValInt(f.notEarlierCount), f.dateUnit));
  }
  if (f.sizeBetween) {
    r.SizeMin = f.sizeFrom;
    r.SizeMax = f.sizeTo;
  }
  if (f.sizeByCondition) {
    if (f.sizeRelation == kGreater || f.sizeRelation == kEqual) r.SizeMin = f.sizeValue;
    if (f.sizeRelation == kLess || f.sizeRelation == kEqual) r.SizeMax = f.sizeValue;
    // The unit multiplies both bounds, those of the range included (decimal thousands).
    const char* zeros = f.sizeUnit == kKilobytes ? "000" : f.sizeUnit == kMegabytes ? "000000" : "";
    if (!r.SizeMin.empty()) r.SizeMin += zeros;
    if (!r.SizeMax.empty()) r.SizeMax += zeros;
  }
  return r;
}

}  // namespace zyl::search
