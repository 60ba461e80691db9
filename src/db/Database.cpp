#include "db/Database.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>

#include "base/Paths.h"
#include "base/Strings.h"
#include "db/Compiler.h"
#include "db/Connection.h"
#include "db/OldSubstringIndex.h"
#include "db/Parser.h"
#include "db/SqlFunctions.h"
#include "db/SubstringIndex.h"
#include "db/TrigramIndex.h"

namespace zyl::db {

// ---- Connection and Stmt ----

Connection::~Connection() {
  sqlite3_close_v2(db_);
}

void Connection::Throw(int rc, std::string_view what) const {
  std::string msg(what);
  msg += ": ";
  msg += db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
  throw DbError(rc, msg);
}

void Connection::Exec(const std::string& sql) {
  char* err = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw DbError(rc, "database error in " + path_ + ": " + msg);
  }
}

Stmt::Stmt(Connection& conn, const std::string& sql) : conn_(conn) {
  const int rc = sqlite3_prepare_v3(conn.handle(), sql.c_str(), static_cast<int>(sql.size()), 0,
                                    &st_, nullptr);
  if (rc != SQLITE_OK) conn.Throw(rc, "cannot prepare a statement on " + conn.path());
}

Stmt::~Stmt() {
  sqlite3_finalize(st_);
}

void Stmt::Bind(int index, const Value& v) {
  int rc = SQLITE_OK;
  switch (v.kind()) {
    case Value::Kind::Null:
      rc = sqlite3_bind_null(st_, index);
      break;
    case Value::Kind::Integer:
      rc = sqlite3_bind_int64(st_, index, v.AsInt());
      break;
    case Value::Kind::Real:
      rc = sqlite3_bind_double(st_, index, v.AsDouble());
      break;
    case Value::Kind::Text: {
      const std::string_view t = v.TextView();
      rc = sqlite3_bind_text64(st_, index, t.data(), t.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
      break;
    }
  }
  if (rc != SQLITE_OK) conn_.Throw(rc, "cannot bind a value");
}

void Stmt::BindAll(const std::vector<Value>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) Bind(static_cast<int>(i + 1), values[i]);
}

bool Stmt::Step() {
  WorkAccount& work = conn_.Work();
  const bool metered = work.Budget().Limited();
  if (metered) work.Enter(work_);
  const int rc = sqlite3_step(st_);
  if (metered) work.Leave();
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // The statement's own error text is the useful part (a function's refusal, a busy file).
  std::string msg = sqlite3_errmsg(conn_.handle());
  if ((rc & 0xff) == SQLITE_INTERRUPT) msg = "the statement took longer than a search may";
  sqlite3_reset(st_);
  throw DbError(rc, msg);
}

void Stmt::Reset() {
  work_ = {};
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

int Stmt::ColumnCount() const {
  return sqlite3_column_count(st_);
}

Value Stmt::Column(int i) const {
  switch (sqlite3_column_type(st_, i)) {
    case SQLITE_INTEGER:
      return Value(static_cast<long long>(sqlite3_column_int64(st_, i)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(st_, i));
    case SQLITE_NULL:
      return Value();
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
      const int n = sqlite3_column_bytes(st_, i);
      return Value(std::string(p ? p : "", static_cast<std::size_t>(n)));
    }
  }
}

std::int64_t Stmt::Int(int i) const {
  return sqlite3_column_int64(st_, i);
}

Savepoint::Savepoint(Connection& conn)
    : conn_(conn),
      name_("zyl_row" + std::to_string(conn.NextSavepoint())),
      outermost_(sqlite3_get_autocommit(conn.handle()) != 0) {
  conn_.Exec("SAVEPOINT " + name_);
}

Savepoint::~Savepoint() {
  if (done_) return;
  const std::string sql = "ROLLBACK TO " + name_ + "; RELEASE " + name_;
  sqlite3_exec(conn_.handle(), sql.c_str(), nullptr, nullptr, nullptr);
  if (outermost_) conn_.ForgetTrigrams();
}

void Savepoint::Release() {
  if (outermost_) conn_.WriteTrigrams();
  conn_.Exec("RELEASE " + name_);
  done_ = true;
}

void Connection::AddTrigrams(std::int64_t rowid, const std::vector<TrigramKey>& keys) {
  pending_.Add(rowid, keys);
  if (pending_.Full()) pending_.Write(db_);
}

void Connection::WriteTrigrams() {
  pending_.Write(db_);
}

// ---- Database ----

namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr char kSqliteMagic[] = "SQLite format 3";  // followed by a zero byte

// What the first bytes of a file say it is, before the engine is let near it.
void CheckHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DbError(SQLITE_CANTOPEN, "cannot read the index database " + path);
  char head[32] = {};
  in.read(head, sizeof head);
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got >= 16 && std::memcmp(head, kSqliteMagic, 16) == 0) return;
  std::string why = "it is not a database of this program";
  if (got == 0)
    why = "the file is empty";
  else if (got >= 19 && std::memcmp(head + 4, "Standard Jet DB", 15) == 0)
    why = "it was written by an old version of the program and must be built anew";
  throw DbError(kNotADatabase, "the file " + path + " is not an index database: " + why);
}

// How often (in engine instructions) a statement under a time budget looks at the clock.
constexpr int kProgressInstructions = 100;

int StopWhenOutOfTime(void* account) {
  return static_cast<const WorkAccount*>(account)->OutOfTime() ? 1 : 0;
}

void Configure(Connection& c, bool wal) {
  sqlite3* db = c.handle();
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // A database file is outside input: its schema may not run anything but plain SQL, and
  // nothing may write to the engine's own structures.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  // A quoted name that names no column must be an error, never quietly a text value.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  RegisterFunctions(db, &c.Work());
  RegisterCandidateTable(db);
  // Read the schema now, so that a damaged file fails here with a clear message.
  c.Exec("SELECT count(*) FROM sqlite_master");
  if (wal) {
    // Lets a search read while an update writes. A read-only file keeps its own mode. With
    // the log, syncing at checkpoints is enough to keep the file sound after a crash.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  }
}

std::shared_ptr<Connection> OpenConnection(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  auto conn = std::make_shared<Connection>(db, path);
  if (rc != SQLITE_OK) conn->Throw(rc, "cannot open the index database " + path);
  return conn;
}

bool IsPlainName(std::string_view s, bool allowSpace) {
  if (s.empty() || s.size() > 64) return false;
  for (char c : s) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || (allowSpace && c == ' ');
    if (!ok) return false;
  }
  return true;
}

}  // namespace

Database::Database(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() = default;

Database Database::Open(const std::string& path) {
  return Open(path, Access::ReadWrite);
}

Database Database::OpenReadOnly(const std::string& path) {
  return Open(path, Access::ReadOnly);
}

Database Database::Open(const std::string& path, Access access) {
  if (!base::FileExists(path))
    throw DbError(SQLITE_CANTOPEN, "the index database " + path + " does not exist");
  CheckHeader(path);
  const bool write = access == Access::ReadWrite;
  auto conn = OpenConnection(path, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
  try {
    // Only a writer may switch the file to the write-ahead log; a reader takes the file as
    // it finds it.
    Configure(*conn, write);
  } catch (const DbError& e) {
    if ((e.code() & 0xff) == SQLITE_NOTADB || (e.code() & 0xff) == SQLITE_CORRUPT)
      throw DbError(kNotADatabase,
                    "the file " + path + " is not a readable index database (" + e.what() + ")");
    throw;
  }
  Database database(std::move(conn));
  database.conn().SetSubstringIndex(database.HasTable(kTrigramTable) &&
                                    database.HasTable(kSegmentTable));
  return database;
}

Database Database::CreateEmpty(const std::string& path) {
  if (base::FileExists(path) || base::IsFolder(path))
    throw DbError(SQLITE_CANTOPEN,
                  "cannot create the index database " + path + ": the file already exists");
  {
    auto conn =
        OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE);
    Configure(*conn, false);
    // The long text is stored last: a row's columns are laid out in this order, so scans of
    // location, type, modified or filesize (the update, size and date conditions) never have to
    // walk through the content's overflow pages. Statements name the columns, so the order is
    // not visible to them.
    // `id` is the row's stable key: the substring index refers to rows by it, and only a
    // declared key is kept by the engine when it rewrites the file (VACUUM).
    conn->Exec(
        "BEGIN;"
        "CREATE TABLE ContentIndex(id INTEGER PRIMARY KEY, title TEXT, author TEXT, location TEXT, "
        "type TEXT, "
        "modified TEXT, filesize INTEGER DEFAULT 0, content TEXT);"
        // Location lookups, and the whole-table passes of the update, which read only these
        // columns and so never touch the table's own pages.
        "CREATE INDEX ContentIndex_location ON ContentIndex(location, type, modified, filesize);" +
        CreateTrigramIndexSql() + ";COMMIT;");
  }
  return Open(path);
}

void Database::SetWorkBudget(const WorkBudget& budget) {
  Connection& c = conn();
  c.Work().SetBudget(budget);
  if (budget.engineTime.count() > 0)
    sqlite3_progress_handler(c.handle(), kProgressInstructions, StopWhenOutOfTime, &c.Work());
  else
    sqlite3_progress_handler(c.handle(), 0, nullptr, nullptr);
}

const std::string& Database::path() const {
  return conn().path();
}

void Database::Close() {
  conn_.reset();
}

Connection& Database::conn() const {
  if (!conn_) throw DbError(SQLITE_MISUSE, "the database is closed");
  return *conn_;
}

std::int64_t Database::Execute(std::string_view statement) {
  const CompiledQuery q = CompileStatement(statement);
  if (q.kind != Statement::Kind::Delete)
    throw SqlError(1, "only DELETE statements are run directly; a SELECT opens a recordset");
  const std::string where = q.where.empty() ? "1" : q.where;
  Savepoint change(conn());
  if (conn().HasSubstringIndex() && q.where.empty()) {
    // Emptying the table (a web index before a new crawl) empties the index at once. Rows
    // deleted one by one leave their postings to the next merge (db/TrigramIndex.h).
    ClearTrigramIndex(conn().handle());
    conn().ForgetTrigrams();
  }
  Stmt st(conn(), "DELETE FROM ContentIndex WHERE " + where);
  st.BindAll(q.params);
  st.Step();
  const std::int64_t deleted = sqlite3_changes64(conn().handle());
  change.Release();
  return deleted;
}

Recordset Database::OpenRecordset(std::string_view source) {
  if (IsTableName(source)) {
    std::vector<CompiledField> fields;
    for (int i = 0; i < kColumnCount; ++i) {
      const char* n = ColumnName(static_cast<Column>(i));
      fields.push_back({n, i, std::string("\"") + n + "\""});
    }
    conn();
    Recordset rs(conn_, std::move(fields));
    rs.LoadRowids("SELECT rowid FROM ContentIndex ORDER BY rowid", {});
    return rs;
  }
  CompiledQuery q = CompileStatement(source);
  if (q.kind != Statement::Kind::Select)
    throw SqlError(1, "a DELETE statement returns no rows; run it with Execute");
  conn();
  const std::string where = q.where.empty() ? "" : " WHERE " + q.where;
  Recordset rs(conn_, q.fields);
  if (q.aggregate) {
    std::string cols;
    for (const auto& f : q.fields) cols += (cols.empty() ? "" : ", ") + f.sql;
    rs.LoadAggregate("SELECT " + cols + " FROM ContentIndex" + where, q.params);
  } else {
    const std::string narrowed =
        NarrowedWhere(conn().HasSubstringIndex(), q.where, q.substringMatch, q.params);
    rs.LoadRowids("SELECT rowid FROM ContentIndex" + narrowed + " ORDER BY rowid", q.params);
  }
  return rs;
}

std::optional<std::string> Database::ContentOfRow(std::int64_t rowid, std::string_view location) {
  Stmt byNumber(conn(),
                "SELECT content FROM ContentIndex WHERE rowid = ?1 AND ifnull(location, '') = ?2");
  byNumber.Bind(1, Value(rowid));
  byNumber.Bind(2, Value(location));
  if (byNumber.Step()) return byNumber.Column(0).AsText();
  Stmt byLocation(conn(),
                  "SELECT content FROM ContentIndex WHERE location = ?1 ORDER BY rowid LIMIT 1");
  byLocation.Bind(1, Value(location));
  if (byLocation.Step()) return byLocation.Column(0).AsText();
  return std::nullopt;
}

bool Database::HasTable(std::string_view table) {
  Stmt st(conn(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
  st.Bind(1, Value(table));
  return st.Step();
}

bool Database::HasColumn(std::string_view table, std::string_view column) {
  Stmt st(conn(), "SELECT name FROM pragma_table_info(?1)");
  st.Bind(1, Value(table));
  while (st.Step())
    if (st.Column(0).TextView() == column) return true;
  return false;
}

void Database::AddColumn(std::string_view table, std::string_view column, std::string_view type,
                         const std::optional<Value>& defaultValue) {
  if (!IsPlainName(table, false) || !IsPlainName(column, false) || !IsPlainName(type, true))
    throw DbError(kBadArgument, "invalid table, column or type name");
  std::string sql = "ALTER TABLE \"" + std::string(table) + "\" ADD COLUMN \"" +
                    std::string(column) + "\" " + std::string(type);
  if (defaultValue && !defaultValue->IsNull()) {
    if (defaultValue->IsNumber())
      sql += " DEFAULT " + defaultValue->AsText();
    else
      sql += " DEFAULT " + QuoteText(defaultValue->TextView(), '\'');
  }
  conn().Exec(sql);
}

void Database::DeferSyncing() {
  conn().Exec("PRAGMA synchronous=OFF");
}

void Database::SyncToDisk() {
  conn().Exec("PRAGMA synchronous=NORMAL");
  // At this level a checkpoint syncs the log before it and the file after it.
  conn().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

bool Database::HasSubstringIndex() const {
  return conn().HasSubstringIndex();
}

namespace {

// Whether ContentIndex declares the stable key `id INTEGER PRIMARY KEY`.
bool HasStableKey(Connection& c) {
  Stmt st(c, "SELECT name, type, pk FROM pragma_table_info('ContentIndex')");
  while (st.Step())
    if (st.Column(0).TextView() == "id" && st.Int(2) == 1 &&
        base::EqualsNoCase(st.Column(1).TextView(), "INTEGER"))
      return true;
  return false;
}

std::string QuotedName(std::string_view name) {
  std::string out = "\"";
  for (char ch : name) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

bool IsIntegerText(std::string_view s) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  return !s.empty() && s.size() < 19 && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// Rewrites ContentIndex with the stable key, each row keeping its number (and so the order
// searches list it in). The column list is read from the file, so a table of any older layout
// keeps all its columns.
void RekeyTable(Connection& c) {
  std::string defs, names;
  bool hasFilesize = false;
  {
    Stmt st(c, "SELECT name, type, dflt_value FROM pragma_table_info('ContentIndex')");
    while (st.Step()) {
      const std::string name(st.Column(0).TextView());
      if (name == "id")
        throw DbError(kBadArgument,
                      "the table ContentIndex of " + c.path() + " already has a column named id");
      if (name == "filesize") hasFilesize = true;
      const std::string type(st.Column(1).TextView());
      const Value dflt = st.Column(2);
      defs += ", " + QuotedName(name);
      if (IsPlainName(type, true)) defs += " " + type;
      if (!dflt.IsNull() && IsIntegerText(dflt.AsText())) defs += " DEFAULT " + dflt.AsText();
      names += ", " + QuotedName(name);
    }
  }
  if (names.empty())
    throw DbError(kNotFound, "the index database " + c.path() + " has no table ContentIndex");
  c.Exec("CREATE TABLE ContentIndex_keyed(id INTEGER PRIMARY KEY" + defs + ")");
  c.Exec("INSERT INTO ContentIndex_keyed(id" + names + ") SELECT rowid" + names +
         " FROM ContentIndex ORDER BY rowid");
  c.Exec("DROP TABLE ContentIndex");
  c.Exec("ALTER TABLE ContentIndex_keyed RENAME TO ContentIndex");
  c.Exec(hasFilesize ? "CREATE INDEX ContentIndex_location ON ContentIndex(location, type, "
                       "modified, filesize)"
                     : "CREATE INDEX ContentIndex_location ON ContentIndex(location)");
}

}  // namespace

bool Database::AddSubstringIndex() {
  Connection& c = conn();
  const bool keyed = HasStableKey(c);
  const bool indexed = c.HasSubstringIndex();
  if (keyed && indexed) return false;
  Transaction tx(*this);
  if (HasTable(kOldSubstringTable)) DropOldSubstringIndex(c.handle());
  if (indexed) {
    // Postings under the old row numbers would name the wrong rows after the rewrite.
    ClearTrigramIndex(c.handle());
  } else {
    c.Exec(CreateTrigramIndexSql());
  }
  if (!keyed) RekeyTable(c);
  {
    Stmt rows(c, "SELECT rowid, content FROM ContentIndex WHERE content IS NOT NULL");
    while (rows.Step()) c.AddTrigrams(rows.Int(0), DistinctTrigramKeys(rows.Column(1).AsText()));
  }
  tx.Commit();
  c.SetSubstringIndex(true);
  return true;
}

// ---- Transaction ----

Transaction::Transaction(Database& db) : conn_(db.conn_) {
  if (!conn_) throw DbError(SQLITE_MISUSE, "the database is closed");
  if (sqlite3_get_autocommit(conn_->handle())) {
    conn_->Exec("BEGIN IMMEDIATE");
  } else {
    savepoint_ = "zyl_sp" + std::to_string(conn_->NextSavepoint());
    conn_->Exec("SAVEPOINT " + savepoint_);
  }
}

Transaction::~Transaction() {
  if (done_) return;
  // Undo; errors here have nowhere to go and leave the engine's own rollback to finish it.
  if (savepoint_.empty()) {
    sqlite3_exec(conn_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    conn_->ForgetTrigrams();
  } else {
    const std::string sql = "ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_;
    sqlite3_exec(conn_->handle(), sql.c_str(), nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  if (done_) throw DbError(SQLITE_MISUSE, "the transaction has already ended");
  if (savepoint_.empty()) conn_->WriteTrigrams();
  conn_->Exec(savepoint_.empty() ? "COMMIT" : "RELEASE " + savepoint_);
  done_ = true;
}

}  // namespace zyl::db
