#include "db/TrigramTokenizer.h"

#include <sqlite3.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "db/Errors.h"

namespace zyl::db {

namespace {

// Three code points of a lead byte and at most three continuation bytes each.
constexpr std::size_t kMaxTrigramBytes = 12;

// End of the code point that starts at `i`: its lead byte and at most three continuation bytes.
std::size_t NextCodePoint(std::string_view text, std::size_t i) {
  std::size_t next = i + 1;
  while (next < text.size() && next - i < 4 &&
         (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
    ++next;
  return next;
}

// The tokenizer keeps no state; the engine only needs an object to hand back.
struct Instance {};
Instance instance;

int Create(void*, const char**, int nArg, Fts5Tokenizer** out) {
  if (nArg != 0) return SQLITE_ERROR;
  *out = reinterpret_cast<Fts5Tokenizer*>(&instance);
  return SQLITE_OK;
}

void Delete(Fts5Tokenizer*) {}

int Tokenize(Fts5Tokenizer*, void* ctx, int flags, const char* text, int size,
             int (*xToken)(void*, int, const char*, int, int, int)) {
  if (!text || size <= 0) return SQLITE_OK;
  const std::string_view view(text, static_cast<std::size_t>(size));
  int rc = SQLITE_OK;
  try {
    SplitTrigrams(view, (flags & FTS5_TOKENIZE_DOCUMENT) != 0,
                  [&](std::size_t start, std::size_t end) {
                    rc = xToken(ctx, 0, text + start, static_cast<int>(end - start),
                                static_cast<int>(start), static_cast<int>(end));
                    return rc == SQLITE_OK;
                  });
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  }
  return rc;
}

fts5_tokenizer kTokenizer = {Create, Delete, Tokenize};

}  // namespace

void SplitTrigrams(std::string_view text, bool document,
                   const std::function<bool(std::size_t, std::size_t)>& token) {
  if (document) {
    // Each trigram after a byte that gives its length: a trigram of malformed bytes, set next
    // to another, could read as other code points than it was cut from.
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t length = static_cast<unsigned char>(text[at]);
      if (length == 0 || length > kMaxTrigramBytes || length > text.size() - at - 1) return;
      if (!token(at + 1, at + 1 + length)) return;
      at += 1 + length;
    }
    return;
  }
  // Windows: the start of each code point, and the end of the third from it.
  if (text.empty()) return;
  std::size_t a = 0;
  std::size_t b = NextCodePoint(text, a);
  if (b >= text.size()) return;
  std::size_t c = NextCodePoint(text, b);
  while (c < text.size()) {
    const std::size_t end = NextCodePoint(text, c);
    if (!token(a, end)) return;
    a = b;
    b = c;
    c = end;
  }
}

std::string DistinctTrigrams(std::string_view folded) {
  std::string out;
  std::unordered_set<std::string_view> seen;
  seen.reserve(folded.size() / 2);
  SplitTrigrams(folded, false, [&](std::size_t start, std::size_t end) {
    const std::string_view t = folded.substr(start, end - start);
    if (seen.insert(t).second) {
      out += static_cast<char>(t.size());
      out += t;
    }
    return true;
  });
  return out;
}

void RegisterTrigramTokenizer(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_pointer(st, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(st);
  }
  sqlite3_finalize(st);
  if (!api || api->iVersion < 2)
    throw DbError(SQLITE_ERROR, "the database engine has no full-text module");
  const int rc = api->xCreateTokenizer(api, kTrigramTokenizer, nullptr, &kTokenizer, nullptr);
  if (rc != SQLITE_OK)
    throw DbError(rc, std::string("cannot register the tokenizer ") + kTrigramTokenizer);
}

}  // namespace zyl::db
