// The content of ContentIndex rows read piece by piece from the start, for LIKE tests that can
// decide from the first part of a long text. A search for a common word finds it near the
// start of most documents; reading the whole text of each of thousands of rows (several
// pages apiece) first was most of what such a search cost.
//
// A RowReader that leaves the content in the database owns one of these and makes it the
// active one on its thread while it steps its statement; the statement's LIKE tests of the
// content (zyl_like_stored, see SqlFunctions.cpp) read through it. Internal to this layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_blob;

namespace zyl::db {

class StoredContent {
 public:
  explicit StoredContent(sqlite3* db) : db_(db) {}
  ~StoredContent();
  StoredContent(const StoredContent&) = delete;
  StoredContent& operator=(const StoredContent&) = delete;

  sqlite3* db() const { return db_; }

  // Moves to the content of row `rowid`, which must be text. False when it cannot be read in
  // pieces (a database whose text is not stored as UTF-8, a failure of the engine): the
  // caller then reads the value whole.
  bool Open(std::int64_t rowid);
  // Bytes of the current row's text.
  std::size_t size() const { return size_; }
  // Its first min(n, size()) bytes, reading what is not read yet. The view lasts until the
  // next Prefix or Open. Empty with `ok` false when the engine fails to read.
  std::string_view Prefix(std::size_t n, bool& ok);
  // Lets go of the row and the memory. The engine keeps a read of the database open while a
  // piece reader is, so this is done as soon as the statement's rows are through.
  void Close();

  // The reader of the statement stepped on this thread now, or null.
  static StoredContent* Active();
  // Makes `content` the active reader while it lives (the one before it again afterwards).
  class Scope {
   public:
    explicit Scope(StoredContent& content);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    StoredContent* previous_;
  };

 private:
  sqlite3* db_;
  sqlite3_blob* blob_ = nullptr;
  std::int64_t rowid_ = 0;  // the row `blob_` is on
  int utf8_ = -1;           // whether the database stores text as UTF-8; -1 not asked yet
  std::size_t size_ = 0;
  // The bytes of the current row read so far: the first `read_` of `buffer_`, which is not
  // cleared before the engine fills it (texts of a search add up to hundreds of megabytes).
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t read_ = 0;
};

}  // namespace zyl::db
