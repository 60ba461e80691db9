// zyl_candidates(expression): the rows a candidate expression of the substring index selects,
// as a table function the narrowed statements read (db/SubstringIndex.h).
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/Errors.h"
#include "db/SubstringIndex.h"
#include "db/TrigramIndex.h"
#include "db/TrigramPostings.h"

namespace zyl::db {

namespace {

// Expressions come from the compiler, nested as deep as the condition; deeper is not one.
constexpr int kMaxDepth = 200;

// Reads `key`, `(...)`, AND and OR (AND binding closer) and evaluates as it goes.
class Evaluator {
 public:
  Evaluator(sqlite3* db, std::string_view text) : lookup_(db), text_(text) {}

  std::vector<std::int64_t> Run() {
    std::vector<std::int64_t> rows = Or(0);
    Blanks();
    if (pos_ != text_.size()) Fail();
    return rows;
  }

 private:
  using Rows = std::vector<std::int64_t>;

  Rows Or(int depth) {
    Rows rows = And(depth);
    while (Word("OR")) rows = UniteRows(rows, And(depth));
    return rows;
  }
  Rows And(int depth) {
    Rows rows = Atom(depth);
    while (Word("AND")) {
      const Rows more = Atom(depth);
      rows = IntersectRows(rows, more);
    }
    return rows;
  }
  Rows Atom(int depth) {
    Blanks();
    if (pos_ < text_.size() && text_[pos_] == '(') {
      if (depth >= kMaxDepth) Fail();
      ++pos_;
      Rows rows = Or(depth + 1);
      Blanks();
      if (pos_ >= text_.size() || text_[pos_] != ')') Fail();
      ++pos_;
      return rows;
    }
    TrigramKey key = 0;
    std::size_t digits = 0;
    for (; pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; ++pos_, ++digits) {
      // A key is at most 48 bits: 15 digits.
      if (digits == 15) Fail();
      key = key * 10 + static_cast<TrigramKey>(text_[pos_] - '0');
    }
    if (digits == 0) Fail();
    auto [it, added] = lists_.try_emplace(key);
    if (added) it->second = lookup_.Rows(key);
    return it->second;
  }
  bool Word(std::string_view w) {
    Blanks();
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }
  void Blanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  [[noreturn]] void Fail() const {
    throw DbError(SQLITE_ERROR, "malformed candidate expression at offset " + std::to_string(pos_));
  }

  TrigramLookup lookup_;
  std::string_view text_;
  std::size_t pos_ = 0;
  // Each key's rows are read once, however often the patterns name it.
  std::map<TrigramKey, Rows> lists_;
};

// ---- the table function ----

struct Cursor {
  sqlite3_vtab_cursor base{};
  std::vector<std::int64_t> rows;
  std::size_t pos = 0;
};

struct Table {
  sqlite3_vtab base{};
  sqlite3* db = nullptr;
};

int Connect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** out, char**) {
  const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(expression HIDDEN)");
  if (rc != SQLITE_OK) return rc;
  auto table = std::make_unique<Table>();
  table->db = db;
  *out = &table.release()->base;
  return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* vtab) {
  delete reinterpret_cast<Table*>(vtab);
  return SQLITE_OK;
}

int BestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    if (c.iColumn == 0 && c.op == SQLITE_INDEX_CONSTRAINT_EQ && c.usable) {
      info->aConstraintUsage[i].argvIndex = 1;
      info->aConstraintUsage[i].omit = 1;
      info->idxNum = 1;
      info->estimatedCost = 10;
      info->estimatedRows = 1000;
      // The rows come in ascending order.
      if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn == -1 && !info->aOrderBy[0].desc)
        info->orderByConsumed = 1;
      return SQLITE_OK;
    }
  }
  // Without its argument the function has no rows to give.
  return SQLITE_CONSTRAINT;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  *out = &(new (std::nothrow) Cursor)->base;
  return *out ? SQLITE_OK : SQLITE_NOMEM;
}

int Close(sqlite3_vtab_cursor* cursor) {
  delete reinterpret_cast<Cursor*>(cursor);
  return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* base, int idxNum, const char*, int argc, sqlite3_value** argv) {
  auto* cursor = reinterpret_cast<Cursor*>(base);
  auto* table = reinterpret_cast<Table*>(base->pVtab);
  cursor->rows.clear();
  cursor->pos = 0;
  if (idxNum != 1 || argc != 1) return SQLITE_OK;
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const std::string_view expression(
      text ? text : "", text ? static_cast<std::size_t>(sqlite3_value_bytes(argv[0])) : 0);
  try {
    cursor->rows = Evaluator(table->db, expression).Run();
    return SQLITE_OK;
  } catch (const DbError& e) {
    sqlite3_free(table->base.zErrMsg);
    table->base.zErrMsg = sqlite3_mprintf("%s", e.what());
    return e.code() == SQLITE_OK ? SQLITE_ERROR : e.code();
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  }
}

int Next(sqlite3_vtab_cursor* base) {
  ++reinterpret_cast<Cursor*>(base)->pos;
  return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* base) {
  const auto* cursor = reinterpret_cast<Cursor*>(base);
  return cursor->pos >= cursor->rows.size();
}

int Column(sqlite3_vtab_cursor*, sqlite3_context* ctx, int) {
  sqlite3_result_null(ctx);
  return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* base, sqlite3_int64* out) {
  const auto* cursor = reinterpret_cast<Cursor*>(base);
  *out = cursor->rows[cursor->pos];
  return SQLITE_OK;
}

sqlite3_module MakeModule() {
  sqlite3_module m{};
  m.xConnect = Connect;  // no xCreate: the function exists on every connection, never in a file
  m.xBestIndex = BestIndex;
  m.xDisconnect = Disconnect;
  m.xOpen = Open;
  m.xClose = Close;
  m.xFilter = Filter;
  m.xNext = Next;
  m.xEof = Eof;
  m.xColumn = Column;
  m.xRowid = Rowid;
  return m;
}

const sqlite3_module kModule = MakeModule();

}  // namespace

std::vector<std::int64_t> EvaluateCandidates(sqlite3* db, std::string_view expression) {
  return Evaluator(db, expression).Run();
}

void RegisterCandidateTable(sqlite3* db) {
  const int rc = sqlite3_create_module_v2(db, "zyl_candidates", &kModule, nullptr, nullptr);
  if (rc != SQLITE_OK) throw DbError(rc, "cannot register the candidate table function");
}

}  // namespace zyl::db
