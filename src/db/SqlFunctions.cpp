#include "db/SqlFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Cp1251.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "db/Ast.h"
#include "db/Errors.h"
#include "db/Functions.h"
#include "db/LikePattern.h"
#include "db/StoredContent.h"
#include "db/Value.h"
#include "db/WorkBudget.h"

namespace zyl::db {

std::optional<double> ParseNumberText(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.empty()) return std::nullopt;
  if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
    if (s.size() - 2 > 16) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s.substr(2)) {
      int d = -1;
      if (c >= '0' && c <= '9')
        d = c - '0';
      else if (base == 16 && c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      else if (base == 16 && c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      if (d < 0 || d >= base) return std::nullopt;
      v = v * base + static_cast<std::uint64_t>(d);
    }
    return static_cast<double>(static_cast<std::int64_t>(v));
  }
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    std::size_t ed = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++ed;
    if (ed == 0) return std::nullopt;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  const std::string copy(s);
  const double d = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

namespace {

class VbaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Left(): " before a message of a catalogue function; nothing for the operators' helpers.
std::string Prefix(const char* fn) {
  return *fn ? std::string(fn) + "(): " : std::string();
}

[[noreturn]] void InvalidCall(const char* fn) {
  throw VbaError(Prefix(fn) + "invalid procedure call or argument");
}
[[noreturn]] void Overflow(const char* fn) {
  throw VbaError(Prefix(fn) + "overflow");
}

// Texts that functions build out of small arguments (Space, String, the growth of Replace)
// are refused past this size rather than built.
constexpr std::size_t kMaxBuiltBytes = 16u << 20;

int CurrentYear() {
  return base::LocalParts(base::Now()).year;
}

// The arguments of one call.
struct Args {
  const char* fn;
  int argc;
  sqlite3_value** argv;
  WorkAccount* work;  // the connection's budget, for functions that build long texts

  int Type(int i) const { return sqlite3_value_type(argv[i]); }
  bool Null(int i) const { return Type(i) == SQLITE_NULL; }
  bool Has(int i) const { return i < argc; }
  std::string_view View(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(argv[i])))
             : std::string_view();
  }
  std::string Text(int i) const {
    switch (Type(i)) {
      case SQLITE_NULL:
        return {};
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_value_int64(argv[i]));
      case SQLITE_FLOAT:
        return FormatNumber(sqlite3_value_double(argv[i]));
      default:
        return std::string(View(i));
    }
  }
  double Num(int i) const {
    switch (Type(i)) {
      case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_value_int64(argv[i]));
      case SQLITE_FLOAT:
        return sqlite3_value_double(argv[i]);
      case SQLITE_NULL:
        throw VbaError(Prefix(fn) + "invalid use of Null");
      default: {
        const std::string_view t = View(i);
        if (auto d = ParseNumberText(t)) return *d;
        throw VbaError(Prefix(fn) + "type mismatch (\"" + base::Left(t, 40) +
                       "\" is not a number)");
      }
    }
  }
  // Whole number by banker's rounding, within [lo, hi].
  std::int64_t Long(int i, std::int64_t lo = INT32_MIN, std::int64_t hi = INT32_MAX) const {
    if (Type(i) == SQLITE_INTEGER) {
      const std::int64_t v = sqlite3_value_int64(argv[i]);
      if (v < lo || v > hi) Overflow(fn);
      return v;
    }
    const double d = std::nearbyint(Num(i));
    if (!(d >= static_cast<double>(lo) && d <= static_cast<double>(hi))) Overflow(fn);
    return static_cast<std::int64_t>(d);
  }
  DateTimeParts Date(int i) const {
    switch (Type(i)) {
      case SQLITE_INTEGER:
      case SQLITE_FLOAT: {
        auto p = SerialToDate(Num(i));
        if (!p) Overflow(fn);
        return *p;
      }
      case SQLITE_NULL:
        throw VbaError(Prefix(fn) + "invalid use of Null");
      default: {
        const std::string_view t = View(i);
        if (auto p = ParseDateText(t, CurrentYear())) return *p;
        throw VbaError(Prefix(fn) + "type mismatch (\"" + base::Left(t, 40) + "\" is not a date)");
      }
    }
  }
  // Text comparison mode of InStr, StrComp, Replace: 0 exact, 1 without case. Without an
  // argument the comparison ignores case, as text comparison in a query does.
  bool TakeText(std::size_t bytes) const { return !work || work->TakeText(bytes); }
  bool TextCompare(int i) const {
    if (!Has(i) || Null(i)) return true;
    const auto m = Long(i);
    if (m != 0 && m != 1 && m != 2) InvalidCall(fn);
    return m != 0;
  }
};

// A statement that has built as much text as its budget allows is stopped with an error of
// its own kind, so that callers can tell it from a plain mistake in the condition.
void OverBudget(sqlite3_context* ctx, const Args& a) {
  const std::string why = Prefix(a.fn) + "the statement builds more text than a search may";
  sqlite3_result_error(ctx, why.c_str(), -1);
  sqlite3_result_error_code(ctx, SQLITE_TOOBIG);
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text64(ctx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
void ResultInt(sqlite3_context* ctx, std::int64_t v) {
  sqlite3_result_int64(ctx, v);
}
void ResultNum(sqlite3_context* ctx, double d) {
  if (!std::isfinite(d)) throw VbaError("overflow");
  if (d == std::trunc(d) && std::fabs(d) < 9007199254740992.0)
    sqlite3_result_int64(ctx, static_cast<std::int64_t>(d));
  else
    sqlite3_result_double(ctx, d);
}
void ResultBool(sqlite3_context* ctx, bool b) {
  sqlite3_result_int(ctx, b ? 1 : 0);
}
void ResultDate(sqlite3_context* ctx, const std::optional<DateTimeParts>& p, const char* fn) {
  if (!p) Overflow(fn);
  ResultText(ctx, DateText(*p));
}

using Impl = void (*)(sqlite3_context*, const Args&);

struct Entry {
  const char* name;
  int nArg;  // -1: any number
  Impl impl;
  bool nullIn;  // a Null argument gives Null without calling impl
  bool deterministic = true;
};

// What one registration of a function on one connection carries.
struct Bound {
  const Entry* entry;
  WorkAccount* work;
};

void Dispatch(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* bound = static_cast<const Bound*>(sqlite3_user_data(ctx));
  const Entry* e = bound->entry;
  Args a{DisplayName(e->name), argc, argv, bound->work};
  // The engine's own check of the clock comes only every so many instructions, and a few
  // instructions can call many costly functions; so each call looks at the clock too.
  if (a.work && a.work->OutOfTime()) {
    sqlite3_result_error(ctx, "the statement took longer than a search may", -1);
    sqlite3_result_error_code(ctx, SQLITE_INTERRUPT);
    return;
  }
  if (e->nullIn) {
    for (int i = 0; i < argc; ++i)
      if (a.Null(i)) {
        sqlite3_result_null(ctx);
        return;
      }
  }
  try {
    e->impl(ctx, a);
  } catch (const VbaError& err) {
    sqlite3_result_error(ctx, err.what(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (const std::exception& err) {
    sqlite3_result_error(ctx, err.what(), -1);
  }
}

// ---- LIKE ----

void DeletePattern(void* p) {
  delete static_cast<LikePattern*>(p);
}

// The compiled pattern of argument `arg`: kept by the engine while the argument stays the same
// (a bound value), else the last one compiled on this thread when the text is the same. A
// pattern compiled now is left in `fresh`, for KeepPattern once it has been used. Null, with
// the error reported, for a pattern that does not compile.
const LikePattern* PatternOf(sqlite3_context* ctx, sqlite3_value* pattern, int arg,
                             std::unique_ptr<LikePattern>& fresh) {
  if (auto* kept = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, arg))) return kept;
  const auto* pp = reinterpret_cast<const char*>(sqlite3_value_text(pattern));
  const std::string_view ptext =
      pp ? std::string_view(pp, static_cast<std::size_t>(sqlite3_value_bytes(pattern)))
         : std::string_view();
  thread_local std::unique_ptr<LikePattern> last;
  if (last && last->source() == ptext) return last.get();
  try {
    fresh = std::make_unique<LikePattern>(ptext);
  } catch (const LikePatternError& e) {
    sqlite3_result_error(ctx, (std::string("invalid LIKE pattern: ") + e.what()).c_str(), -1);
    return nullptr;
  }
  last = std::make_unique<LikePattern>(*fresh);
  return fresh.get();
}

void KeepPattern(sqlite3_context* ctx, int arg, std::unique_ptr<LikePattern> fresh) {
  if (fresh) sqlite3_set_auxdata(ctx, arg, fresh.release(), DeletePattern);
}

std::string_view TextOf(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v)))
           : std::string_view();
}

void Like(sqlite3_context* ctx, sqlite3_value* subject, sqlite3_value* pattern, bool padded,
          bool nullIsEmpty) {
  const bool subjectNull = sqlite3_value_type(subject) == SQLITE_NULL;
  if ((subjectNull && !nullIsEmpty) || sqlite3_value_type(pattern) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const std::string_view text = subjectNull ? std::string_view() : TextOf(subject);
  std::unique_ptr<LikePattern> fresh;
  const LikePattern* use = PatternOf(ctx, pattern, 1, fresh);
  if (!use) return;
  sqlite3_result_int(ctx, padded ? use->MatchesPadded(text) : use->Matches(text));
  KeepPattern(ctx, 1, std::move(fresh));
}

// The first piece of a stored text read to decide a LIKE test: small, so that a word near the
// start costs the page holding the row and at most one more (a 14 KB text fills four).
constexpr std::size_t kFirstPiece = 1024;
// Each further piece is this many times longer. A text whose match comes late (or that does
// not match) is then read in two steps when it is of the usual size and in a few when it is
// long, and tested over little more than its own length: with pieces only four times longer,
// a test of a text matching only at its end took a tenth longer than reading it whole.
constexpr std::size_t kPieceGrowth = 16;

// The test of a stored content, read piece by piece through the active StoredContent.
// Returns false, having decided nothing, when the text cannot be read that way.
bool LikeStoredInPieces(sqlite3_context* ctx, std::int64_t rowid, const LikePattern& pattern,
                        bool padded) {
  StoredContent* content = StoredContent::Active();
  if (!content || content->db() != sqlite3_context_db_handle(ctx) || !content->Open(rowid))
    return false;
  const std::size_t size = content->size();
  std::size_t n = pattern.ProvableByPrefix() ? std::min(size, kFirstPiece) : size;
  for (;;) {
    bool ok = true;
    const std::string_view text = content->Prefix(n, ok);
    if (!ok) return false;
    if (n == size) {
      sqlite3_result_int(ctx, padded ? pattern.MatchesPadded(text) : pattern.Matches(text));
      return true;
    }
    if (pattern.MatchesEveryTextStartingWith(text, padded)) {
      sqlite3_result_int(ctx, 1);
      return true;
    }
    n = std::min(size, n * kPieceGrowth);
  }
}

// zyl_like_stored(rowid, typeof(content), pattern[, nullIsEmpty]): the LIKE test of the content
// of the ContentIndex row `rowid`, as zyl_like(content, pattern) (or zyl_like_padded) decides
// it, without the engine reading the whole text first: typeof() of a column does not read it.
void LikeStored(sqlite3_context* ctx, sqlite3_value** argv, bool padded, bool nullIsEmpty) {
  const std::string_view type = TextOf(argv[1]);
  if (sqlite3_value_type(argv[2]) == SQLITE_NULL || (type == "null" && !nullIsEmpty)) {
    sqlite3_result_null(ctx);
    return;
  }
  std::unique_ptr<LikePattern> fresh;
  const LikePattern* use = PatternOf(ctx, argv[2], 2, fresh);
  if (!use) return;
  const std::int64_t rowid = sqlite3_value_int64(argv[0]);
  if (type == "null") {
    sqlite3_result_int(ctx, padded ? use->MatchesPadded({}) : use->Matches({}));
  } else if (type != "text" || !LikeStoredInPieces(ctx, rowid, *use, padded)) {
    // Numbers and other values are read as the engine converts them to text, as zyl_like
    // receives them.
    sqlite3* db = sqlite3_context_db_handle(ctx);
    sqlite3_stmt* st = nullptr;
    const std::string sql = std::string("SELECT content FROM ") + kTableName + " WHERE rowid = ?1";
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_bind_int64(st, 1, rowid);
    if (rc == SQLITE_OK) rc = sqlite3_step(st);
    if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL) {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      const std::string_view text =
          p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(st, 0)))
            : std::string_view();
      sqlite3_result_int(ctx, padded ? use->MatchesPadded(text) : use->Matches(text));
    } else if (rc == SQLITE_ROW) {
      if (nullIsEmpty)
        sqlite3_result_int(ctx, padded ? use->MatchesPadded({}) : use->Matches({}));
      else
        sqlite3_result_null(ctx);
    } else {
      sqlite3_result_error(
          ctx, rc == SQLITE_DONE ? "a row being tested is no longer there" : sqlite3_errmsg(db),
          -1);
    }
    sqlite3_finalize(st);
  }
  KeepPattern(ctx, 2, std::move(fresh));
}

void LikeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    Like(ctx, argv[0], argv[1], false, false);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  }
}
void LikePaddedFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    Like(ctx, argv[0], argv[1], true, sqlite3_value_int(argv[2]) != 0);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  }
}
void LikeStoredFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    LikeStored(ctx, argv, false, false);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  }
}
void LikeStoredPaddedFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    LikeStored(ctx, argv, true, sqlite3_value_int(argv[3]) != 0);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  }
}

// ---- operators and conversions the compiler inserts ----

void CNum(sqlite3_context* ctx, const Args& a) {
  if (a.Type(0) == SQLITE_INTEGER || a.Type(0) == SQLITE_FLOAT) {
    sqlite3_result_value(ctx, a.argv[0]);
    return;
  }
  ResultNum(ctx, a.Num(0));
}

// A text used as a condition: a number, or True/False.
void CondText(sqlite3_context* ctx, const Args& a) {
  if (a.Type(0) == SQLITE_TEXT) {
    const auto t = base::TrimView(a.View(0));
    if (base::EqualsNoCase(t, "True")) return ResultBool(ctx, true);
    if (base::EqualsNoCase(t, "False")) return ResultBool(ctx, false);
  }
  ResultBool(ctx, a.Num(0) != 0);
}

void DateSerialOf(sqlite3_context* ctx, const Args& a) {
  if (a.Type(0) == SQLITE_INTEGER || a.Type(0) == SQLITE_FLOAT) {
    sqlite3_result_value(ctx, a.argv[0]);
    return;
  }
  sqlite3_result_double(ctx, DateToSerial(a.Date(0)));
}
void SerialDate(sqlite3_context* ctx, const Args& a) {
  ResultDate(ctx, SerialToDate(a.Num(0)), a.fn);
}
void AddDays(sqlite3_context* ctx, const Args& a) {
  ResultDate(ctx, SerialToDate(DateToSerial(a.Date(0)) + a.Num(1)), a.fn);
}

void Div(sqlite3_context* ctx, const Args& a) {
  const double d = a.Num(1);
  if (d == 0) throw VbaError("division by zero");
  ResultNum(ctx, a.Num(0) / d);
}
void IntDiv(sqlite3_context* ctx, const Args& a) {
  const std::int64_t x = a.Long(0, INT64_MIN + 1, INT64_MAX),
                     y = a.Long(1, INT64_MIN + 1, INT64_MAX);
  if (y == 0) throw VbaError("division by zero");
  ResultInt(ctx, x / y);
}
void Mod(sqlite3_context* ctx, const Args& a) {
  const std::int64_t x = a.Long(0, INT64_MIN + 1, INT64_MAX),
                     y = a.Long(1, INT64_MIN + 1, INT64_MAX);
  if (y == 0) throw VbaError("division by zero");
  ResultInt(ctx, x % y);
}
void Pow(sqlite3_context* ctx, const Args& a) {
  const double r = std::pow(a.Num(0), a.Num(1));
  if (std::isnan(r)) InvalidCall("^");
  ResultNum(ctx, r);
}
// "&": Null counts as "", but two Nulls give Null.
void Amp(sqlite3_context* ctx, const Args& a) {
  if (a.Null(0) && a.Null(1)) return sqlite3_result_null(ctx);
  ResultText(ctx, a.Text(0) + a.Text(1));
}
bool IsNumberType(int t) {
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}
// "+" when a side's type is only known per row: two texts join, otherwise numbers add.
void Plus(sqlite3_context* ctx, const Args& a) {
  if (a.Type(0) == SQLITE_TEXT && a.Type(1) == SQLITE_TEXT)
    return ResultText(ctx, a.Text(0) + a.Text(1));
  ResultNum(ctx, a.Num(0) + a.Num(1));
}
void Minus(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, a.Num(0) - a.Num(1));
}
// Three-way comparison for values whose types are only known per row.
void Cmp(sqlite3_context* ctx, const Args& a) {
  int r;
  if (a.Type(0) == SQLITE_TEXT && a.Type(1) == SQLITE_TEXT) {
    const int c = a.View(0).compare(a.View(1));
    r = c < 0 ? -1 : (c > 0 ? 1 : 0);
  } else {
    const double x = a.Num(0), y = a.Num(1);
    r = x < y ? -1 : (x > y ? 1 : 0);
  }
  ResultInt(ctx, r);
}
// Bitwise Xor, Eqv and Imp of whole numbers (truth values are -1 and 0).
void BitXor(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Long(0, INT64_MIN, INT64_MAX) ^ a.Long(1, INT64_MIN, INT64_MAX));
}
void BitEqv(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, ~(a.Long(0, INT64_MIN, INT64_MAX) ^ a.Long(1, INT64_MIN, INT64_MAX)));
}
void BitImp(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, ~a.Long(0, INT64_MIN, INT64_MAX) | a.Long(1, INT64_MIN, INT64_MAX));
}

// ---- text ----

void Asc(sqlite3_context* ctx, const Args& a) {
  const std::string s = a.Text(0);
  if (s.empty()) InvalidCall(a.fn);
  std::size_t i = 0;
  const char32_t c = base::DecodeUtf8At(s, i);
  const int b = base::UnicodeToCp1251(c);
  ResultInt(ctx, b < 0 ? '?' : b);
}
void AscW(sqlite3_context* ctx, const Args& a) {
  const std::string s = a.Text(0);
  if (s.empty()) InvalidCall(a.fn);
  std::size_t i = 0;
  ResultInt(ctx, static_cast<std::int64_t>(base::DecodeUtf8At(s, i)));
}
void Chr(sqlite3_context* ctx, const Args& a) {
  const auto n = a.Long(0);
  if (n < 0 || n > 255) InvalidCall(a.fn);
  std::string out;
  base::AppendUtf8(out, base::Cp1251ToUnicode(static_cast<unsigned char>(n)));
  ResultText(ctx, out);
}
void ChrW(sqlite3_context* ctx, const Args& a) {
  auto n = a.Long(0);
  if (n < -32768 || n > 0x10FFFF) InvalidCall(a.fn);
  if (n < 0) n += 65536;
  if (n >= 0xD800 && n <= 0xDFFF) InvalidCall(a.fn);
  std::string out;
  base::AppendUtf8(out, static_cast<char32_t>(n));
  ResultText(ctx, out);
}

// Code point position (1-based) of `find` in `text` at or after `start`, 0 when none.
std::size_t FindText(const std::string& text, const std::string& find, std::size_t start,
                     bool noCase) {
  if (!noCase) return base::InStr(start, text, find);
  // Simple case folding keeps one code point for one, so positions carry over.
  return base::InStr(start, base::FoldCase(text), base::FoldCase(find));
}

void InStr(sqlite3_context* ctx, const Args& a) {
  int first = 0;
  std::int64_t start = 1;
  if (a.argc >= 3) {
    if (a.Null(0)) throw VbaError("InStr: invalid use of Null");
    start = a.Long(0);
    first = 1;
  }
  if (start < 1) InvalidCall(a.fn);
  if (a.Null(first) || a.Null(first + 1)) return sqlite3_result_null(ctx);
  const std::string s1 = a.Text(first), s2 = a.Text(first + 1);
  if (static_cast<std::size_t>(start) > base::Len(s1)) {
    // An empty search text is still found just past the end.
    ResultInt(ctx, s2.empty() && static_cast<std::size_t>(start) == base::Len(s1) + 1 ? start : 0);
    return;
  }
  ResultInt(ctx, static_cast<std::int64_t>(
                     FindText(s1, s2, static_cast<std::size_t>(start), a.TextCompare(first + 2))));
}

void InStrRev(sqlite3_context* ctx, const Args& a) {
  if (a.Null(0) || a.Null(1)) return sqlite3_result_null(ctx);
  std::string s1 = a.Text(0), s2 = a.Text(1);
  const auto len = static_cast<std::int64_t>(base::Len(s1));
  std::int64_t start = a.Has(2) && !a.Null(2) ? a.Long(2) : -1;
  if (start == 0 || start < -1) InvalidCall(a.fn);
  if (start == -1) start = len;
  if (start > len) return ResultInt(ctx, 0);
  if (s2.empty()) return ResultInt(ctx, start);
  if (a.TextCompare(3)) {
    s1 = base::FoldCase(s1);
    s2 = base::FoldCase(s2);
  }
  const std::string head = base::Left(s1, static_cast<std::size_t>(start));
  ResultInt(ctx, static_cast<std::int64_t>(base::InStrRev(head, s2)));
}

void LCase(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, base::LCase(a.Text(0)));
}
void UCase(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, base::UCase(a.Text(0)));
}
void Left(sqlite3_context* ctx, const Args& a) {
  const auto n = a.Long(1, 0, INT32_MAX);
  ResultText(ctx, base::Left(a.Text(0), static_cast<std::size_t>(n)));
}
void Right(sqlite3_context* ctx, const Args& a) {
  const auto n = a.Long(1, 0, INT32_MAX);
  ResultText(ctx, base::Right(a.Text(0), static_cast<std::size_t>(n)));
}
void Mid(sqlite3_context* ctx, const Args& a) {
  const auto start = a.Long(1, 1, INT32_MAX);
  if (a.Has(2)) {
    const auto n = a.Long(2, 0, INT32_MAX);
    return ResultText(
        ctx, base::Mid(a.Text(0), static_cast<std::size_t>(start), static_cast<std::size_t>(n)));
  }
  ResultText(ctx, base::Mid(a.Text(0), static_cast<std::size_t>(start)));
}
void Len(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, static_cast<std::int64_t>(base::Len(a.Text(0))));
}
void LTrim(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, base::LTrim(a.Text(0)));
}
void RTrim(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, base::RTrim(a.Text(0)));
}
void Trim(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, base::Trim(a.Text(0)));
}
void Space(sqlite3_context* ctx, const Args& a) {
  const auto n = a.Long(0, 0, INT32_MAX);
  if (static_cast<std::size_t>(n) > kMaxBuiltBytes) return sqlite3_result_error_toobig(ctx);
  if (!a.TakeText(static_cast<std::size_t>(n))) return OverBudget(ctx, a);
  ResultText(ctx, std::string(static_cast<std::size_t>(n), ' '));
}
void String(sqlite3_context* ctx, const Args& a) {
  const auto n = a.Long(0, 0, INT32_MAX);
  std::string unit;
  if (a.Type(1) == SQLITE_INTEGER || a.Type(1) == SQLITE_FLOAT) {
    const auto code = a.Long(1);
    base::AppendUtf8(unit,
                     base::Cp1251ToUnicode(static_cast<unsigned char>(((code % 256) + 256) % 256)));
  } else {
    const std::string s = a.Text(1);
    if (s.empty()) InvalidCall(a.fn);
    unit = base::Left(s, 1);
  }
  if (static_cast<std::size_t>(n) * unit.size() > kMaxBuiltBytes)
    return sqlite3_result_error_toobig(ctx);
  if (!a.TakeText(static_cast<std::size_t>(n) * unit.size())) return OverBudget(ctx, a);
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * unit.size());
  for (std::int64_t i = 0; i < n; ++i) out += unit;
  ResultText(ctx, out);
}
std::u32string CodePoints(std::string_view s, bool fold) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const char32_t c = base::DecodeUtf8At(s, i);
    out.push_back(fold ? base::FoldCodePoint(c) : c);
  }
  return out;
}

void Replace(sqlite3_context* ctx, const Args& a) {
  for (int i = 0; i < 3; ++i)
    if (a.Null(i)) return sqlite3_result_null(ctx);
  const std::string text = a.Text(0), find = a.Text(1), with = a.Text(2);
  const auto start = a.Has(3) && !a.Null(3) ? a.Long(3, 1, INT32_MAX) : 1;
  auto count = a.Has(4) && !a.Null(4) ? a.Long(4, -1, INT32_MAX) : -1;
  const bool noCase = a.TextCompare(5);
  // The result begins at `start`, as the replacement function returns it. Matching runs on
  // code points (folded when case is ignored), so positions stay those of the original.
  const std::string src = base::Mid(text, static_cast<std::size_t>(start));
  if (find.empty() || count == 0) return ResultText(ctx, src);
  const std::u32string orig = CodePoints(src, false);
  const std::u32string hay = noCase ? CodePoints(src, true) : orig;
  const std::u32string needle = CodePoints(find, noCase);
  const std::boyer_moore_horspool_searcher search(needle.begin(), needle.end());
  std::string out;
  auto append = [&](std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) base::AppendUtf8(out, orig[k]);
  };
  std::size_t pos = 0;
  while (count != 0) {
    const auto it = std::search(hay.begin() + static_cast<std::ptrdiff_t>(pos), hay.end(), search);
    if (it == hay.end()) break;
    const auto at = static_cast<std::size_t>(it - hay.begin());
    append(pos, at);
    out += with;
    if (out.size() > text.size() + kMaxBuiltBytes) return sqlite3_result_error_toobig(ctx);
    pos = at + needle.size();
    if (count > 0) --count;
  }
  append(pos, orig.size());
  if (out.size() > src.size() && !a.TakeText(out.size() - src.size())) return OverBudget(ctx, a);
  ResultText(ctx, out);
}
void StrComp(sqlite3_context* ctx, const Args& a) {
  if (a.Null(0) || a.Null(1)) return sqlite3_result_null(ctx);
  std::string x = a.Text(0), y = a.Text(1);
  if (a.TextCompare(2)) {
    x = base::FoldCase(x);
    y = base::FoldCase(y);
  }
  const int c = x.compare(y);
  ResultInt(ctx, c < 0 ? -1 : (c > 0 ? 1 : 0));
}
void StrReverse(sqlite3_context* ctx, const Args& a) {
  const std::string s = a.Text(0);
  std::vector<char32_t> cps;
  for (std::size_t i = 0; i < s.size();) cps.push_back(base::DecodeUtf8At(s, i));
  std::string out;
  for (auto it = cps.rbegin(); it != cps.rend(); ++it) base::AppendUtf8(out, *it);
  ResultText(ctx, out);
}
void Str(sqlite3_context* ctx, const Args& a) {
  const double d = a.Num(0);
  std::string s = FormatNumber(d);
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  ResultText(ctx, d < 0 ? s : " " + s);
}
void Val(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, base::Val(a.Text(0)));
}

// ---- numbers ----

void Abs(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::fabs(a.Num(0)));
}
void Atn(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::atan(a.Num(0)));
}
void Cos(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::cos(a.Num(0)));
}
void Sin(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::sin(a.Num(0)));
}
void Tan(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::tan(a.Num(0)));
}
void Exp(sqlite3_context* ctx, const Args& a) {
  const double r = std::exp(a.Num(0));
  if (!std::isfinite(r)) Overflow(a.fn);
  ResultNum(ctx, r);
}
void Log(sqlite3_context* ctx, const Args& a) {
  const double x = a.Num(0);
  if (x <= 0) InvalidCall(a.fn);
  ResultNum(ctx, std::log(x));
}
void Fix(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::trunc(a.Num(0)));
}
void Int(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, std::floor(a.Num(0)));
}
void Sgn(sqlite3_context* ctx, const Args& a) {
  const double x = a.Num(0);
  ResultInt(ctx, x > 0 ? 1 : (x < 0 ? -1 : 0));
}
void Sqr(sqlite3_context* ctx, const Args& a) {
  const double x = a.Num(0);
  if (x < 0) InvalidCall(a.fn);
  ResultNum(ctx, std::sqrt(x));
}
void Round(sqlite3_context* ctx, const Args& a) {
  const double x = a.Num(0);
  const auto digits = a.Has(1) && !a.Null(1) ? a.Long(1, 0, 15) : 0;
  const double scale = std::pow(10.0, static_cast<double>(digits));
  ResultNum(ctx, std::nearbyint(x * scale) / scale);
}

// ---- dates ----

DateTimeParts NowParts() {
  return base::LocalParts(base::Now());
}
void DateFn(sqlite3_context* ctx, const Args&) {
  DateTimeParts p = NowParts();
  p.hour = p.minute = p.second = 0;
  ResultText(ctx, DateText(p));
}
void NowFn(sqlite3_context* ctx, const Args&) {
  ResultText(ctx, DateText(NowParts()));
}
void TimeFn(sqlite3_context* ctx, const Args&) {
  const DateTimeParts now = NowParts();
  DateTimeParts p;
  p.hour = now.hour;
  p.minute = now.minute;
  p.second = now.second;
  ResultText(ctx, DateText(p));
}
void Day(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).day);
}
void Month(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).month);
}
void Year(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).year);
}
void Hour(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).hour);
}
void Minute(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).minute);
}
void Second(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Date(0).second);
}

int FirstDay(const Args& a, int i) {
  if (!a.Has(i) || a.Null(i)) return 1;
  const auto f = a.Long(i);
  if (f < 0 || f > 7) InvalidCall(a.fn);
  return f == 0 ? 1 : static_cast<int>(f);
}
int WeekDayOf(const DateTimeParts& p, int firstDay) {
  return (DayOfWeek(p) - firstDay + 7) % 7 + 1;
}
void WeekDay(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, WeekDayOf(a.Date(0), FirstDay(a, 1)));
}

std::optional<DateTimeParts> MakeDate(std::int64_t y, std::int64_t m, std::int64_t d) {
  if (y >= 0 && y <= 99) y = ExpandYear(static_cast<int>(y), 2);
  const std::int64_t months = y * 12 + (m - 1);
  const std::int64_t yy = months >= 0 ? months / 12 : (months - 11) / 12;
  const std::int64_t mm = months - yy * 12 + 1;
  if (yy < 100 || yy > 9999) return std::nullopt;
  DateTimeParts first;
  first.year = static_cast<int>(yy);
  first.month = static_cast<int>(mm);
  first.day = 1;
  return SerialToDate(DateToSerial(first) + static_cast<double>(d - 1));
}
void DateSerialFn(sqlite3_context* ctx, const Args& a) {
  ResultDate(ctx, MakeDate(a.Long(0), a.Long(1), a.Long(2)), a.fn);
}
void TimeSerial(sqlite3_context* ctx, const Args& a) {
  const double secs = static_cast<double>(a.Long(0)) * 3600 + static_cast<double>(a.Long(1)) * 60 +
                      static_cast<double>(a.Long(2));
  ResultDate(ctx, SerialToDate(secs / 86400.0), a.fn);
}
void DateValue(sqlite3_context* ctx, const Args& a) {
  DateTimeParts p = a.Date(0);
  p.hour = p.minute = p.second = 0;
  ResultText(ctx, DateText(p));
}
void TimeValue(sqlite3_context* ctx, const Args& a) {
  const DateTimeParts t = a.Date(0);
  DateTimeParts p;
  p.hour = t.hour;
  p.minute = t.minute;
  p.second = t.second;
  ResultText(ctx, DateText(p));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, WeekDay, Week, Hour, Minute, Second };
Interval ReadInterval(const Args& a, int i) {
  const std::string s = base::LCase(base::Trim(a.Text(i)));
  if (s == "yyyy") return Interval::Year;
  if (s == "q") return Interval::Quarter;
  if (s == "m") return Interval::Month;
  if (s == "y") return Interval::DayOfYear;
  if (s == "d") return Interval::Day;
  if (s == "w") return Interval::WeekDay;
  if (s == "ww") return Interval::Week;
  if (s == "h") return Interval::Hour;
  if (s == "n") return Interval::Minute;
  if (s == "s") return Interval::Second;
  InvalidCall(a.fn);
}

std::int64_t DayNumber(const DateTimeParts& p) {
  DateTimeParts d = p;
  d.hour = d.minute = d.second = 0;
  return static_cast<std::int64_t>(DateToSerial(d));
}
std::int64_t SecondNumber(const DateTimeParts& p) {
  return DayNumber(p) * 86400 + p.hour * 3600 + p.minute * 60 + p.second;
}
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

void DateAdd(sqlite3_context* ctx, const Args& a) {
  const Interval iv = ReadInterval(a, 0);
  const auto n = a.Long(1, INT32_MIN, INT32_MAX);
  const DateTimeParts p = a.Date(2);
  std::optional<DateTimeParts> r;
  auto addMonths = [&](std::int64_t months) -> std::optional<DateTimeParts> {
    const std::int64_t total = static_cast<std::int64_t>(p.year) * 12 + (p.month - 1) + months;
    const std::int64_t y = total / 12;
    if (total < 0 || y < 100 || y > 9999) return std::nullopt;
    DateTimeParts q = p;
    q.year = static_cast<int>(y);
    q.month = static_cast<int>(total % 12 + 1);
    q.day = std::min(p.day, DaysInMonth(q.year, q.month));
    return q;
  };
  auto addSeconds = [&](double secs) {
    return SerialToDate(static_cast<double>(SecondNumber(p) + static_cast<std::int64_t>(secs)) /
                        86400.0);
  };
  switch (iv) {
    case Interval::Year:
      r = addMonths(n * 12);
      break;
    case Interval::Quarter:
      r = addMonths(n * 3);
      break;
    case Interval::Month:
      r = addMonths(n);
      break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::WeekDay:
      r = addSeconds(static_cast<double>(n) * 86400);
      break;
    case Interval::Week:
      r = addSeconds(static_cast<double>(n) * 7 * 86400);
      break;
    case Interval::Hour:
      r = addSeconds(static_cast<double>(n) * 3600);
      break;
    case Interval::Minute:
      r = addSeconds(static_cast<double>(n) * 60);
      break;
    case Interval::Second:
      r = addSeconds(static_cast<double>(n));
      break;
  }
  ResultDate(ctx, r, a.fn);
}

std::int64_t WeekStart(const DateTimeParts& p, int firstDay) {
  return DayNumber(p) - (WeekDayOf(p, firstDay) - 1);
}

void DateDiff(sqlite3_context* ctx, const Args& a) {
  const Interval iv = ReadInterval(a, 0);
  if (a.Null(1) || a.Null(2)) return sqlite3_result_null(ctx);
  const DateTimeParts d1 = a.Date(1), d2 = a.Date(2);
  const int firstDay = FirstDay(a, 3);
  std::int64_t r = 0;
  switch (iv) {
    case Interval::Year:
      r = d2.year - d1.year;
      break;
    case Interval::Quarter:
      r = (d2.year * 4 + (d2.month - 1) / 3) - (d1.year * 4 + (d1.month - 1) / 3);
      break;
    case Interval::Month:
      r = (d2.year * 12 + d2.month) - (d1.year * 12 + d1.month);
      break;
    case Interval::DayOfYear:
    case Interval::Day:
      r = DayNumber(d2) - DayNumber(d1);
      break;
    case Interval::WeekDay:
      r = (DayNumber(d2) - DayNumber(d1)) / 7;
      break;
    case Interval::Week:
      r = (WeekStart(d2, firstDay) - WeekStart(d1, firstDay)) / 7;
      break;
    case Interval::Hour:
      r = FloorDiv(SecondNumber(d2), 3600) - FloorDiv(SecondNumber(d1), 3600);
      break;
    case Interval::Minute:
      r = FloorDiv(SecondNumber(d2), 60) - FloorDiv(SecondNumber(d1), 60);
      break;
    case Interval::Second:
      r = SecondNumber(d2) - SecondNumber(d1);
      break;
  }
  ResultInt(ctx, r);
}

void DatePart(sqlite3_context* ctx, const Args& a) {
  const Interval iv = ReadInterval(a, 0);
  if (a.Null(1)) return sqlite3_result_null(ctx);
  const DateTimeParts p = a.Date(1);
  const int firstDay = FirstDay(a, 2);
  DateTimeParts jan1 = p;
  jan1.month = 1;
  jan1.day = 1;
  jan1.hour = jan1.minute = jan1.second = 0;
  std::int64_t r = 0;
  switch (iv) {
    case Interval::Year:
      r = p.year;
      break;
    case Interval::Quarter:
      r = (p.month - 1) / 3 + 1;
      break;
    case Interval::Month:
      r = p.month;
      break;
    case Interval::DayOfYear:
      r = DayNumber(p) - DayNumber(jan1) + 1;
      break;
    case Interval::Day:
      r = p.day;
      break;
    case Interval::WeekDay:
      r = WeekDayOf(p, firstDay);
      break;
    case Interval::Week:
      r = (WeekStart(p, firstDay) - WeekStart(jan1, firstDay)) / 7 + 1;
      break;
    case Interval::Hour:
      r = p.hour;
      break;
    case Interval::Minute:
      r = p.minute;
      break;
    case Interval::Second:
      r = p.second;
      break;
  }
  ResultInt(ctx, r);
}

// ---- conversions ----

void CDate(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, DateText(a.Date(0)));
}
void CBool(sqlite3_context* ctx, const Args& a) {
  CondText(ctx, a);
}
void CByte(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Long(0, 0, 255));
}
void CInt(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Long(0, -32768, 32767));
}
void CLng(sqlite3_context* ctx, const Args& a) {
  ResultInt(ctx, a.Long(0));
}
void CSng(sqlite3_context* ctx, const Args& a) {
  const double d = a.Num(0);
  if (std::fabs(d) > 3.402823466e38) Overflow(a.fn);
  // Single precision keeps about seven digits.
  const float f = static_cast<float>(d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(f));
  ResultNum(ctx, std::strtod(buf, nullptr));
}
void CDbl(sqlite3_context* ctx, const Args& a) {
  ResultNum(ctx, a.Num(0));
}
void CCur(sqlite3_context* ctx, const Args& a) {
  const double d = a.Num(0);
  if (std::fabs(d) > 922337203685477.0) Overflow(a.fn);
  ResultNum(ctx, std::nearbyint(d * 10000) / 10000);
}
void CStr(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, a.Text(0));
}

std::string InBase(const Args& a, int base) {
  const auto v = a.Long(0, INT64_MIN, INT64_MAX);
  std::uint64_t u;
  if (v >= INT32_MIN && v < 0)
    u = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  else
    u = static_cast<std::uint64_t>(v);
  if (u == 0) return "0";
  std::string s;
  while (u) {
    s.insert(s.begin(), "0123456789ABCDEF"[u % static_cast<unsigned>(base)]);
    u /= static_cast<unsigned>(base);
  }
  return s;
}
void Hex(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, InBase(a, 16));
}
void Oct(sqlite3_context* ctx, const Args& a) {
  ResultText(ctx, InBase(a, 8));
}

void IsNumeric(sqlite3_context* ctx, const Args& a) {
  switch (a.Type(0)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return ResultBool(ctx, true);
    case SQLITE_NULL:
      return ResultBool(ctx, false);
    default:
      return ResultBool(ctx, ParseNumberText(a.View(0)).has_value());
  }
}
void IsDate(sqlite3_context* ctx, const Args& a) {
  if (a.Type(0) != SQLITE_TEXT) return ResultBool(ctx, false);
  ResultBool(ctx, ParseDateText(a.View(0), CurrentYear()).has_value());
}

// Format(hint, value[, format[, firstdayofweek[, firstweek]]]); the hint tells what the
// compiler knew of the value: 'd' a date, 'n' a number, 's' a text, 'a' unknown.
void Format(sqlite3_context* ctx, const Args& a) {
  if (a.argc < 2) InvalidCall(a.fn);
  if (a.Null(1)) return sqlite3_result_null(ctx);
  const std::string hint = a.Text(0);
  const std::string fmt = a.Has(2) && !a.Null(2) ? a.Text(2) : std::string();
  const int firstDay = FirstDay(a, 3);
  const int type = a.Type(1);
  if (hint == "d") return ResultText(ctx, FormatDateValue(a.Date(1), fmt, firstDay));
  if (IsNumberType(type)) return ResultText(ctx, FormatNumberValue(a.Num(1), fmt));
  const std::string_view text = a.View(1);
  if (fmt.empty()) return ResultText(ctx, std::string(text));
  if (auto d = ParseNumberText(text)) return ResultText(ctx, FormatNumberValue(*d, fmt));
  if (auto p = ParseDateText(text, CurrentYear()))
    return ResultText(ctx, FormatDateValue(*p, fmt, firstDay));
  if (fmt == ">") return ResultText(ctx, base::UCase(text));
  if (fmt == "<") return ResultText(ctx, base::LCase(text));
  ResultText(ctx, std::string(text));
}

const Entry kEntries[] = {
    {"zyl_cnum", 1, CNum, true},
    {"zyl_condtext", 1, CondText, true},
    {"zyl_dateserial", 1, DateSerialOf, true},
    {"zyl_serialdate", 1, SerialDate, true},
    {"zyl_adddays", 2, AddDays, true},
    {"zyl_div", 2, Div, true},
    {"zyl_intdiv", 2, IntDiv, true},
    {"zyl_mod", 2, Mod, true},
    {"zyl_pow", 2, Pow, true},
    {"zyl_amp", 2, Amp, false},
    {"zyl_plus", 2, Plus, true},
    {"zyl_minus", 2, Minus, true},
    {"zyl_cmp", 2, Cmp, true},
    {"zyl_bitxor", 2, BitXor, true},
    {"zyl_biteqv", 2, BitEqv, true},
    {"zyl_bitimp", 2, BitImp, true},
    {"zyl_asc", 1, Asc, true},
    {"zyl_ascw", 1, AscW, true},
    {"zyl_chr", 1, Chr, true},
    {"zyl_chrw", 1, ChrW, true},
    {"zyl_format", -1, Format, false},
    {"zyl_instr", -1, InStr, false},
    {"zyl_instrrev", -1, InStrRev, false},
    {"zyl_lcase", 1, LCase, true},
    {"zyl_ucase", 1, UCase, true},
    {"zyl_left", 2, Left, true},
    {"zyl_right", 2, Right, true},
    {"zyl_mid", -1, Mid, true},
    {"zyl_len", 1, Len, true},
    {"zyl_ltrim", 1, LTrim, true},
    {"zyl_rtrim", 1, RTrim, true},
    {"zyl_trim", 1, Trim, true},
    {"zyl_space", 1, Space, true},
    {"zyl_string", 2, String, true},
    {"zyl_replace", -1, Replace, false},
    {"zyl_strcomp", -1, StrComp, false},
    {"zyl_strreverse", 1, StrReverse, true},
    {"zyl_str", 1, Str, true},
    {"zyl_val", 1, Val, true},
    {"zyl_abs", 1, Abs, true},
    {"zyl_atn", 1, Atn, true},
    {"zyl_cos", 1, Cos, true},
    {"zyl_sin", 1, Sin, true},
    {"zyl_tan", 1, Tan, true},
    {"zyl_exp", 1, Exp, true},
    {"zyl_log", 1, Log, true},
    {"zyl_fix", 1, Fix, true},
    {"zyl_int", 1, Int, true},
    {"zyl_sgn", 1, Sgn, true},
    {"zyl_sqr", 1, Sqr, true},
    {"zyl_round", -1, Round, true},
    {"zyl_date", 0, DateFn, false, false},
    {"zyl_now", 0, NowFn, false, false},
    {"zyl_time", 0, TimeFn, false, false},
    {"zyl_day", 1, Day, true},
    {"zyl_month", 1, Month, true},
    {"zyl_year", 1, Year, true},
    {"zyl_hour", 1, Hour, true},
    {"zyl_minute", 1, Minute, true},
    {"zyl_second", 1, Second, true},
    {"zyl_weekday", -1, WeekDay, true},
    {"zyl_dateserialf", 3, DateSerialFn, true},
    {"zyl_timeserial", 3, TimeSerial, true},
    {"zyl_datevalue", 1, DateValue, true},
    {"zyl_timevalue", 1, TimeValue, true},
    {"zyl_dateadd", 3, DateAdd, true},
    {"zyl_datediff", -1, DateDiff, false},
    {"zyl_datepart", -1, DatePart, false},
    {"zyl_cdate", 1, CDate, true},
    {"zyl_cbool", 1, CBool, true},
    {"zyl_cbyte", 1, CByte, true},
    {"zyl_cint", 1, CInt, true},
    {"zyl_clng", 1, CLng, true},
    {"zyl_csng", 1, CSng, true},
    {"zyl_cdbl", 1, CDbl, true},
    {"zyl_ccur", 1, CCur, true},
    {"zyl_cstr", 1, CStr, true},
    {"zyl_hex", 1, Hex, true},
    {"zyl_oct", 1, Oct, true},
    {"zyl_isnumeric", 1, IsNumeric, false},
    {"zyl_isdate", 1, IsDate, false},
};

void Check(sqlite3* db, int rc, const char* name) {
  if (rc != SQLITE_OK)
    throw DbError(rc,
                  std::string("cannot register the function ") + name + ": " + sqlite3_errmsg(db));
}

}  // namespace

void RegisterFunctions(sqlite3* db, WorkAccount* work) {
  const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  Check(db,
        sqlite3_create_function_v2(db, "zyl_like", 2, pure, nullptr, LikeFn, nullptr, nullptr,
                                   nullptr),
        "zyl_like");
  Check(db,
        sqlite3_create_function_v2(db, "zyl_like_padded", 3, pure, nullptr, LikePaddedFn, nullptr,
                                   nullptr, nullptr),
        "zyl_like_padded");
  // Reads the table itself, so only statements this layer writes may call it, never a schema.
  const int direct = SQLITE_UTF8 | SQLITE_DIRECTONLY;
  Check(db,
        sqlite3_create_function_v2(db, "zyl_like_stored", 3, direct, nullptr, LikeStoredFn, nullptr,
                                   nullptr, nullptr),
        "zyl_like_stored");
  Check(db,
        sqlite3_create_function_v2(db, "zyl_like_stored_padded", 4, direct, nullptr,
                                   LikeStoredPaddedFn, nullptr, nullptr, nullptr),
        "zyl_like_stored_padded");
  for (const Entry& e : kEntries) {
    const int flags = e.deterministic ? pure : (SQLITE_UTF8 | SQLITE_INNOCUOUS);
    // The engine owns the registration's data from here on and frees it with the connection
    // (or at once, when the registration fails).
    auto* bound = std::make_unique<Bound>(Bound{&e, work}).release();
    Check(db,
          sqlite3_create_function_v2(db, e.name, e.nArg, flags, bound, Dispatch, nullptr, nullptr,
                                     [](void* p) { delete static_cast<Bound*>(p); }),
          e.name);
  }
}

}  // namespace zyl::db
