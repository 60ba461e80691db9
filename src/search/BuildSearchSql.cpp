// The search form becomes one SELECT over ContentIndex by concatenating fixed fragments with
// three private markers ("LC#", "RC#", "^^") and resolving the markers by plain replacement.
// The exact text matters: it is what the database receives and what "search within the found
// documents" cuts its condition from.
#include <cstdio>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "db/Ast.h"
#include "extract/DocumentTypes.h"
#include "search/SearchRequest.h"

namespace zyl::search {

namespace {

const std::string kHead =
    std::string("SELECT title, author, content, location, type, modified, filesize FROM ") +
    db::kTableName + " WHERE ";
constexpr std::string_view kWholeWordClass = "[!A-zа-яА-Я]";
constexpr std::string_view Q = "\"";

// A typed date as the statement's date literal: month/day/two-digit year, no leading zeros.
// Years outside 1970-2069 keep all four digits, because the literal reads two-digit years
// into that window and the date would otherwise silently move by a century. A text that is no
// date goes in as typed, so that the database refuses the statement and the user is told.
std::string DateLiteral(const std::string& typed) {
  const auto d = base::ParseUserDate(typed);
  if (!d) return base::Replace(typed, "#", "");
  char buf[32];
  if (d->year >= 1970 && d->year <= 2069) {
    std::snprintf(buf, sizeof buf, "%d/%d/%02d", d->month, d->day, d->year % 100);
  } else {
    std::snprintf(buf, sizeof buf, "%d/%d/%d", d->month, d->day, d->year);
  }
  return buf;
}

// A typed value placed inside a "..." pattern: its double quotes are doubled, so that whatever
// was typed stays one pattern and cannot close it and add conditions of its own.
std::string InPattern(const std::string& typed) {
  return base::Replace(typed, "\"", "\"\"");
}

// A size goes in as typed when it is a number. Anything else goes in as a "#" literal, which the
// database refuses, so the user is told instead of the text becoming part of the condition.
std::string SizeText(const std::string& typed) {
  const std::string_view t = base::TrimView(typed);
  bool number = !t.empty();
  for (std::size_t i = 0; i < t.size(); ++i)
    if (!(t[i] >= '0' && t[i] <= '9') && !(t[i] == '.' && i > 0)) number = false;
  if (number) return typed;
  return "#" + base::Replace(typed, "#", "") + "#";
}

std::string ContentTerm(std::string_view w, std::string_view term) {
  return "( LC# content RC# LIKE " + std::string(Q) + "*" + std::string(w) + std::string(term) +
         std::string(w) + "*" + std::string(Q) + ")";
}

}  // namespace

std::string BuildSearchSql(const SearchRequest& r) {
  std::string s;
  if (r.SearchType == kQueryLanguage) {
    return kHead + "(" + r.Content + ")";
  }

  // 1. Quote removal from the search words only.
  const std::string content = base::Replace(base::Replace(r.Content, "\"", ""), "'", "");
  // 2. Whole-word class.
  const std::string_view w = r.WholeWord ? kWholeWordClass : std::string_view();

  // 3. Content condition.
  std::string c;
  if (r.SearchType == kPhrase) {
    c = "(content Like " + std::string(Q) + "*" + content + "*" + std::string(Q) + ")";
  } else {
    const std::vector<std::string> terms = base::Split(content, " ");
    if (terms.size() == 1) {
      c = ContentTerm(w, content);
    } else {
      const std::string_view joiner = r.SearchType == kAllWords ? " AND " : " OR ";
      for (std::size_t i = 0; i < terms.size(); ++i) {
        c += ContentTerm(w, terms[i]);
        if (i + 1 < terms.size()) c += joiner;
      }
    }
  }

  // 4. Head and content.
  s = std::string(kHead);
  if (!content.empty()) s += "(" + c + ")";

  // 5. Field conditions, each a parenthesised group after one blank.
  if (r.ArchiveOnly) s += " (left(location,4)='arc:')";
  if (!r.Title.empty())
    s += " (title LIKE " + std::string(Q) + "*" + InPattern(r.Title) + "*" + std::string(Q) + ")";
  if (!r.Author.empty())
    s += " (author LIKE " + std::string(Q) + "*" + InPattern(r.Author) + "*" + std::string(Q) + ")";
  if (!r.Location.empty())
    s += " (location LIKE " + std::string(Q) + "*" + InPattern(r.Location) + "*" + std::string(Q) +
         ")";
  if (!r.DateFrom.empty()) s += " (modified >=#" + DateLiteral(r.DateFrom) + "#)";
  if (!r.DateTo.empty()) s += " (modified <=#" + DateLiteral(r.DateTo) + "#)";
  if (!r.SizeMax.empty()) s += " (filesize <=" + SizeText(r.SizeMax) + ")";
  if (!r.SizeMin.empty()) s += " (filesize >=" + SizeText(r.SizeMin) + ")";

  // 6. Juxtaposed groups become a conjunction.
  s = base::Replace(s, ") (", ") AND (");

  // 7. Type condition, only for a real choice (some but not all positions).
  int checked = 0;
  for (bool b : r.TypeChecked) checked += b ? 1 : 0;
  std::string t;
  if (checked >= 1 && checked < kTypePositions) {
    for (int p = 1; p <= kTypePositions; ++p) {
      if (!r.TypeChecked[p - 1]) continue;
      t += "(type = " + std::string(Q) + std::string(extract::SearchTypeAt(p)) + std::string(Q) +
           ")^^";
    }
    t = " ( " + t + ")";
    t = base::Replace(t, ")^^(", ") OR (");
    t = base::Replace(t, "^^", "");
  }

  // 8. The type condition joins as the last group.
  s = base::Replace(s + t, ") (", ") AND (");

  // 9. No condition at all selects every row.
  if (base::TrimView(s).ends_with("WHERE")) s = base::Replace(s, "WHERE", " ");

  // 10. Markers: whole words are matched against the content with a blank added at each end, so
  // that a word at the very start or end of the text meets the non-letter class.
  if (r.WholeWord) {
    s = base::Replace(s, "LC#", std::string(Q) + " " + std::string(Q) + "+");
    s = base::Replace(s, "RC#", "+" + std::string(Q) + " " + std::string(Q));
  } else {
    s = base::Replace(base::Replace(s, "LC#", ""), "RC#", "");
  }

  return s;
}

std::string ConditionOf(const std::string& sql) {
  const std::size_t p = sql.find("WHERE ");
  if (p == std::string::npos) return {};
  return sql.substr(p + 6);
}

}  // namespace zyl::search
