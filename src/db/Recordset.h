// Rows of ContentIndex as the rest of the program walks them: a current row that moves
// first, last, next and previous, fields read by position or name, and the current row
// edited, added or deleted in place. The row numbers are read when the recordset opens (in
// database order); field values are fetched one row at a time, so a recordset over a large
// table never holds more than one row's texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Compiler.h"
#include "db/TrigramKeys.h"
#include "db/Value.h"

namespace zyl::db {

class Connection;
class Stmt;

class Recordset {
 public:
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;
  ~Recordset();

  // Before the first row / after the last one; both when there are no rows. (Not named
  // BOF/EOF: EOF is a macro of the C library.)
  bool Bof() const;
  bool Eof() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  // Rows of the recordset, deleted ones no longer counted.
  std::int64_t RecordCount() const {
    return static_cast<std::int64_t>(rowids_.size() - deletedCount_);
  }

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  const std::string& FieldName(int i) const;
  // Index of a field by name, without case; -1 when there is none.
  int FieldIndex(std::string_view name) const;
  // Values of the current row (of the edit buffer while adding or editing).
  Value Field(int i);
  Value Field(std::string_view name);
  // The current row's place in database order (what Database::ContentOfRow takes).
  std::int64_t RowId() const;

  void AddNew();
  void Edit();
  void SetField(int i, Value v);
  void SetField(std::string_view name, Value v);
  // Gives the trigram keys of the content set for the row being added, made by the caller with
  // DistinctTrigramKeys (a build makes them on its extraction threads, so the thread that
  // writes only inserts). They must be exactly those of the content: Update files them
  // unchecked. Without them, Update finds the keys of the content itself.
  void SetTrigramKeys(std::vector<TrigramKey> keys);
  // Writes the added or edited row. An added row joins the end of the recordset; the current
  // row stays where it was.
  void Update();
  void CancelUpdate();
  // Deletes the current row; MoveNext then goes to the row after it.
  void Delete();

  // The rows of this recordset that meet a condition of the dialect, as a new recordset with
  // the same fields.
  Recordset Filter(std::string_view condition) const;

 private:
  friend class Database;
  Recordset(std::shared_ptr<Connection> conn, std::vector<CompiledField> fields);
  void LoadRowids(const std::string& sql, const std::vector<Value>& params);
  void LoadAggregate(const std::string& sql, const std::vector<Value>& params);
  void RequireCurrent() const;
  void PrepareFetch();
  // Files the trigram keys of the row `rowid` with the substring index: `given`,
  // or else those of the content in the edit buffer.
  void FileTrigrams(std::int64_t rowid, std::optional<std::vector<TrigramKey>> given);
  const Value& Current(int i);
  std::ptrdiff_t NextLive(std::ptrdiff_t from, int step) const;
  int RequireField(std::string_view name) const;

  std::shared_ptr<Connection> conn_;
  std::vector<CompiledField> fields_;
  bool aggregate_ = false;
  std::vector<std::int64_t> rowids_;
  std::vector<bool> deleted_;
  std::size_t deletedCount_ = 0;
  std::ptrdiff_t pos_ = 0;

  // Values of the row at rowPos_, each read when first asked for: walking rows for their
  // location or date never copies their whole texts.
  std::vector<std::optional<Value>> row_;
  std::ptrdiff_t rowPos_ = -1;
  std::vector<std::unique_ptr<Stmt>> fetch_;  // one per field

  enum class Mode { None, Edit, AddNew };
  Mode mode_ = Mode::None;
  std::vector<Value> buffer_;
  std::vector<bool> dirty_;
  std::optional<std::vector<TrigramKey>> trigramKeys_;  // of the row being added
};

}  // namespace zyl::db
