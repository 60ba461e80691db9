#include "db/RowReader.h"

#include "db/Compiler.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/SubstringIndex.h"

namespace zyl::db {

RowReader::RowReader(Database& db, std::string_view select, Order order) {
  CompiledQuery q = CompileStatement(select);
  if (q.kind != Statement::Kind::Select || q.aggregate)
    throw SqlError(1, "only a SELECT of rows can be read row by row");
  conn_ = db.conn_;
  db.conn();  // throws when the database is closed
  std::string cols;
  for (const auto& f : q.fields) cols += (cols.empty() ? "" : ", ") + f.sql;
  const std::string where =
      NarrowedWhere(conn_->HasSubstringIndex(), q.where, q.substringMatch, q.params);
  fields_ = static_cast<int>(q.fields.size());
  stmt_ = std::make_unique<Stmt>(*conn_, "SELECT " + cols + ", rowid FROM ContentIndex" + where +
                                             (order == Order::kDatabase ? " ORDER BY rowid" : ""));
  stmt_->BindAll(q.params);
}

RowReader::~RowReader() = default;

bool RowReader::Next() {
  return stmt_->Step();
}

Value RowReader::Field(int i) const {
  if (i < 0 || i >= fields_) throw DbError(kNotFound, "no field number " + std::to_string(i));
  return stmt_->Column(i);
}

std::int64_t RowReader::RowId() const {
  return stmt_->Int(fields_);
}

}  // namespace zyl::db
