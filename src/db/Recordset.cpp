#include "db/Recordset.h"

#include <sqlite3.h>

#include "base/Strings.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/SubstringIndex.h"

namespace zyl::db {

namespace {
[[noreturn]] void NoCurrentRecord() {
  throw DbError(kNoCurrentRecord, "no current record");
}
}  // namespace

Recordset::Recordset(std::shared_ptr<Connection> conn, std::vector<CompiledField> fields)
    : conn_(std::move(conn)), fields_(std::move(fields)) {}
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

void Recordset::LoadRowids(const std::string& sql, const std::vector<Value>& params) {
  PrepareFetch();  // a missing column is reported now, not at the first row
  Stmt st(*conn_, sql);
  st.BindAll(params);
  while (st.Step()) rowids_.push_back(st.Int(0));
  deleted_.assign(rowids_.size(), false);
  pos_ = 0;
}

void Recordset::LoadAggregate(const std::string& sql, const std::vector<Value>& params) {
  aggregate_ = true;
  Stmt st(*conn_, sql);
  st.BindAll(params);
  row_.assign(fields_.size(), Value());
  if (st.Step())
    for (int i = 0; i < st.ColumnCount(); ++i) row_[static_cast<std::size_t>(i)] = st.Column(i);
  rowids_.assign(1, 0);
  deleted_.assign(1, false);
  rowPos_ = 0;
  pos_ = 0;
}

bool Recordset::Bof() const {
  return RecordCount() == 0 || pos_ < 0;
}
bool Recordset::Eof() const {
  return RecordCount() == 0 || pos_ >= static_cast<std::ptrdiff_t>(rowids_.size());
}

std::ptrdiff_t Recordset::NextLive(std::ptrdiff_t from, int step) const {
  const auto n = static_cast<std::ptrdiff_t>(rowids_.size());
  std::ptrdiff_t i = from;
  while (i >= 0 && i < n && deleted_[static_cast<std::size_t>(i)]) i += step;
  return i;
}

void Recordset::MoveFirst() {
  if (RecordCount() == 0) NoCurrentRecord();
  mode_ = Mode::None;
  pos_ = NextLive(0, 1);
}

void Recordset::MoveLast() {
  if (RecordCount() == 0) NoCurrentRecord();
  mode_ = Mode::None;
  pos_ = NextLive(static_cast<std::ptrdiff_t>(rowids_.size()) - 1, -1);
}

void Recordset::MoveNext() {
  // Past the last row there is nothing to move to; on a row that was just deleted (the last one
  // of the set included) the move goes on to the next row or to the end.
  if (pos_ >= static_cast<std::ptrdiff_t>(rowids_.size()) || (RecordCount() == 0 && pos_ < 0))
    NoCurrentRecord();
  mode_ = Mode::None;
  pos_ = NextLive(pos_ + 1, 1);
}

void Recordset::MovePrevious() {
  if (Bof()) NoCurrentRecord();
  mode_ = Mode::None;
  pos_ = NextLive(pos_ - 1, -1);
}

void Recordset::RequireCurrent() const {
  if (Bof() || Eof() || deleted_[static_cast<std::size_t>(pos_)]) NoCurrentRecord();
}

const std::string& Recordset::FieldName(int i) const {
  if (i < 0 || i >= FieldCount()) throw DbError(kNotFound, "no field number " + std::to_string(i));
  return fields_[static_cast<std::size_t>(i)].name;
}

int Recordset::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (base::EqualsNoCase(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

int Recordset::RequireField(std::string_view name) const {
  const int i = FieldIndex(name);
  if (i < 0) throw DbError(kNotFound, "no field named \"" + std::string(name) + "\"");
  return i;
}

void Recordset::PrepareFetch() {
  if (!fetch_.empty()) return;
  for (const auto& f : fields_)
    fetch_.push_back(
        std::make_unique<Stmt>(*conn_, "SELECT " + f.sql + " FROM ContentIndex WHERE rowid = ?1"));
}

const Value& Recordset::Current(int i) {
  const auto k = static_cast<std::size_t>(i);
  if (aggregate_) return *row_[k];
  if (rowPos_ != pos_) {
    row_.assign(fields_.size(), std::nullopt);
    rowPos_ = pos_;
  }
  if (!row_[k]) {
    PrepareFetch();
    Stmt& st = *fetch_[k];
    st.Reset();
    st.Bind(1, Value(static_cast<long long>(rowids_[static_cast<std::size_t>(pos_)])));
    if (!st.Step()) {
      st.Reset();
      throw DbError(kNoCurrentRecord, "the record has been deleted");
    }
    row_[k] = st.Column(0);
    st.Reset();
  }
  return *row_[k];
}

std::int64_t Recordset::RowId() const {
  RequireCurrent();
  return rowids_[static_cast<std::size_t>(pos_)];
}

Value Recordset::Field(int i) {
  FieldName(i);
  if (mode_ != Mode::None) return buffer_[static_cast<std::size_t>(i)];
  RequireCurrent();
  return Current(i);
}

Value Recordset::Field(std::string_view name) {
  return Field(RequireField(name));
}

void Recordset::AddNew() {
  if (aggregate_) throw DbError(kNotUpdatable, "the recordset cannot be updated");
  buffer_.assign(fields_.size(), Value());
  dirty_.assign(fields_.size(), false);
  trigramKeys_.reset();
  mode_ = Mode::AddNew;
}

void Recordset::Edit() {
  if (aggregate_) throw DbError(kNotUpdatable, "the recordset cannot be updated");
  RequireCurrent();
  buffer_.clear();
  for (int i = 0; i < FieldCount(); ++i) buffer_.push_back(Current(i));
  dirty_.assign(fields_.size(), false);
  mode_ = Mode::Edit;
}

void Recordset::SetField(int i, Value v) {
  FieldName(i);
  if (mode_ == Mode::None)
    throw DbError(kUpdateWithoutEdit, "a field is set only after AddNew or Edit");
  if (fields_[static_cast<std::size_t>(i)].column < 0)
    throw DbError(kNotUpdatable, "the field \"" + fields_[static_cast<std::size_t>(i)].name +
                                     "\" cannot be updated");
  buffer_[static_cast<std::size_t>(i)] = std::move(v);
  dirty_[static_cast<std::size_t>(i)] = true;
}

void Recordset::SetField(std::string_view name, Value v) {
  SetField(RequireField(name), std::move(v));
}

void Recordset::SetTrigramKeys(std::vector<TrigramKey> keys) {
  if (mode_ != Mode::AddNew)
    throw DbError(kUpdateWithoutEdit, "the trigram keys are given only after AddNew");
  trigramKeys_ = std::move(keys);
}

void Recordset::Update() {
  if (mode_ == Mode::None) throw DbError(kUpdateWithoutEdit, "Update without AddNew or Edit");
  std::vector<std::size_t> cols;
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (dirty_[i]) cols.push_back(i);
  if (mode_ == Mode::AddNew) {
    std::string names, marks;
    for (std::size_t k = 0; k < cols.size(); ++k) {
      names += (k ? ", " : "") + fields_[cols[k]].sql;
      marks += (k ? ", ?" : "?") + std::to_string(k + 1);
    }
    const std::string sql = cols.empty()
                                ? "INSERT INTO ContentIndex DEFAULT VALUES"
                                : "INSERT INTO ContentIndex (" + names + ") VALUES (" + marks + ")";
    const bool indexed = conn_->HasSubstringIndex();
    std::optional<Savepoint> change;
    if (indexed) change.emplace(*conn_);
    Stmt st(*conn_, sql);
    for (std::size_t k = 0; k < cols.size(); ++k)
      st.Bind(static_cast<int>(k + 1), buffer_[cols[k]]);
    st.Step();
    const std::int64_t rowid = sqlite3_last_insert_rowid(conn_->handle());
    if (indexed) {
      FileTrigrams(rowid, std::move(trigramKeys_));
      change->Release();
    }
    trigramKeys_.reset();
    const bool atEnd = pos_ >= static_cast<std::ptrdiff_t>(rowids_.size());
    rowids_.push_back(rowid);
    deleted_.push_back(false);
    if (atEnd) pos_ = static_cast<std::ptrdiff_t>(rowids_.size());
  } else {
    if (!cols.empty()) {
      const std::int64_t rowid = rowids_[static_cast<std::size_t>(pos_)];
      bool contentChanges = false;
      for (std::size_t k : cols)
        if (fields_[k].column == static_cast<int>(Column::Content)) contentChanges = true;
      const bool reindex = contentChanges && conn_->HasSubstringIndex();
      std::optional<Savepoint> change;
      // The old content's postings stay until a merge finds them: they only give a candidate
      // that the search's own test turns down.
      if (reindex) change.emplace(*conn_);
      std::string sets;
      for (std::size_t k = 0; k < cols.size(); ++k)
        sets += (k ? ", " : "") + fields_[cols[k]].sql + " = ?" + std::to_string(k + 1);
      Stmt st(*conn_, "UPDATE ContentIndex SET " + sets + " WHERE rowid = ?" +
                          std::to_string(cols.size() + 1));
      for (std::size_t k = 0; k < cols.size(); ++k)
        st.Bind(static_cast<int>(k + 1), buffer_[cols[k]]);
      st.Bind(static_cast<int>(cols.size() + 1), Value(static_cast<long long>(rowid)));
      st.Step();
      if (reindex) {
        FileTrigrams(rowid, std::nullopt);
        change->Release();
      }
    }
    rowPos_ = -1;
  }
  mode_ = Mode::None;
}

void Recordset::CancelUpdate() {
  trigramKeys_.reset();
  mode_ = Mode::None;
}

void Recordset::Delete() {
  if (aggregate_) throw DbError(kNotUpdatable, "the recordset cannot be updated");
  mode_ = Mode::None;
  RequireCurrent();
  const std::int64_t rowid = rowids_[static_cast<std::size_t>(pos_)];
  // The row's postings stay until a merge drops them (db/TrigramIndex.h).
  Stmt st(*conn_, "DELETE FROM ContentIndex WHERE rowid = ?1");
  st.Bind(1, Value(static_cast<long long>(rowid)));
  st.Step();
  deleted_[static_cast<std::size_t>(pos_)] = true;
  ++deletedCount_;
  rowPos_ = -1;
}

void Recordset::FileTrigrams(std::int64_t rowid, std::optional<std::vector<TrigramKey>> given) {
  if (!given) {
    given.emplace();
    for (std::size_t k = 0; k < fields_.size(); ++k)
      // LIKE reads a number in the column as its text.
      if (fields_[k].column == static_cast<int>(Column::Content) && !buffer_[k].IsNull())
        given = DistinctTrigramKeys(buffer_[k].AsText());
  }
  conn_->AddTrigrams(rowid, *given);
}

Recordset Recordset::Filter(std::string_view condition) const {
  if (aggregate_) throw DbError(kNotUpdatable, "a recordset of sums cannot be filtered");
  const CompiledCondition c = CompileCondition(condition);
  const int rowidParam = static_cast<int>(c.params.size()) + 1;
  // The row number comes last so that it cannot share a number with the condition's values.
  Stmt st(*conn_, "SELECT 1 FROM ContentIndex WHERE (" + c.sql + ") AND rowid = ?" +
                      std::to_string(rowidParam));
  Recordset out(conn_, fields_);
  out.PrepareFetch();
  for (std::size_t i = 0; i < rowids_.size(); ++i) {
    if (deleted_[i]) continue;
    st.Reset();
    st.BindAll(c.params);
    st.Bind(rowidParam, Value(static_cast<long long>(rowids_[i])));
    if (st.Step()) out.rowids_.push_back(rowids_[i]);
  }
  out.deleted_.assign(out.rowids_.size(), false);
  out.pos_ = 0;
  return out;
}

}  // namespace zyl::db
