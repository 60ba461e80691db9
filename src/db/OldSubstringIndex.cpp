#include "db/OldSubstringIndex.h"

#include <sqlite3.h>

#include <string>

#include "db/Errors.h"

namespace zyl::db {

namespace {

// The engine opens a full-text table, even to drop it, only with the tokenizer its definition
// names. The previous version's tokenizer is given again under its name for that; it is never
// asked for tokens here, and gives none.
struct Instance {};
Instance instance;

int Create(void*, const char**, int, Fts5Tokenizer** out) {
  *out = reinterpret_cast<Fts5Tokenizer*>(&instance);
  return SQLITE_OK;
}
void Delete(Fts5Tokenizer*) {}
int Tokenize(Fts5Tokenizer*, void*, int, const char*, int,
             int (*)(void*, int, const char*, int, int, int)) {
  return SQLITE_OK;
}
fts5_tokenizer kTokenizer = {Create, Delete, Tokenize};

}  // namespace

void DropOldSubstringIndex(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_pointer(st, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(st);
  }
  sqlite3_finalize(st);
  if (api && api->iVersion >= 2)
    api->xCreateTokenizer(api, "zyl_trigram", nullptr, &kTokenizer, nullptr);
  const std::string sql = std::string("DROP TABLE ") + kOldSubstringTable;
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw DbError(rc, "cannot drop the previous substring index: " + message);
  }
}

}  // namespace zyl::db
