#include "db/StoredContent.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "db/Ast.h"

namespace zyl::db {
namespace {

thread_local StoredContent* active = nullptr;

bool StoresUtf8(sqlite3* db) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA encoding", -1, &st, nullptr) != SQLITE_OK) return false;
  bool utf8 = false;
  if (sqlite3_step(st) == SQLITE_ROW) {
    const auto* enc = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    utf8 = enc && std::string_view(enc) == "UTF-8";
  }
  sqlite3_finalize(st);
  return utf8;
}

}  // namespace

StoredContent::~StoredContent() {
  Close();
}

bool StoredContent::Open(std::int64_t rowid) {
  // Several tests of one row (all the words of a search) share what the first one read: the
  // statement's read of the file, and so the row, stays the same meanwhile.
  if (blob_ && rowid == rowid_) return true;
  read_ = 0;
  size_ = 0;
  if (utf8_ < 0) utf8_ = StoresUtf8(db_) ? 1 : 0;
  if (!utf8_) return false;
  // Moving a reader already open to another row is cheap; opening one is not.
  int rc = blob_ ? sqlite3_blob_reopen(blob_, rowid)
                 : sqlite3_blob_open(db_, "main", kTableName, "content", rowid, 0, &blob_);
  if (rc != SQLITE_OK) {
    // A reader that failed to move is of no further use.
    Close();
    return false;
  }
  size_ = static_cast<std::size_t>(sqlite3_blob_bytes(blob_));
  rowid_ = rowid;
  return true;
}

std::string_view StoredContent::Prefix(std::size_t n, bool& ok) {
  ok = true;
  if (n > size_) n = size_;
  if (n > read_) {
    if (n > capacity_) {
      // Grows by half again at least, keeping what is read.
      const std::size_t capacity = std::max(n, capacity_ + capacity_ / 2);
      auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
      if (read_) std::memcpy(bigger.get(), buffer_.get(), read_);
      buffer_ = std::move(bigger);
      capacity_ = capacity;
    }
    if (!blob_ || sqlite3_blob_read(blob_, buffer_.get() + read_, static_cast<int>(n - read_),
                                    static_cast<int>(read_)) != SQLITE_OK) {
      ok = false;
      return {};
    }
    read_ = n;
  }
  return std::string_view(buffer_.get(), n);
}

void StoredContent::Close() {
  if (blob_) sqlite3_blob_close(blob_);
  blob_ = nullptr;
  read_ = 0;
  size_ = 0;
  buffer_.reset();
  capacity_ = 0;
}

StoredContent* StoredContent::Active() {
  return active;
}

StoredContent::Scope::Scope(StoredContent& content) : previous_(active) {
  active = &content;
}

StoredContent::Scope::~Scope() {
  active = previous_;
}

}  // namespace zyl::db
