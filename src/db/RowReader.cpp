#include "db/RowReader.h"

#include "db/Compiler.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/StoredContent.h"
#include "db/SubstringIndex.h"

namespace zyl::db {

RowReader::RowReader(Database& db, std::string_view select, Order order, Content content) {
  const bool leftStored = content == Content::kLeftStored;
  CompiledQuery q =
      CompileStatement(select, leftStored ? ContentTests::kInPieces : ContentTests::kWhole);
  if (q.kind != Statement::Kind::Select || q.aggregate)
    throw SqlError(1, "only a SELECT of rows can be read row by row");
  conn_ = db.conn_;
  db.conn();  // throws when the database is closed
  std::string cols;
  for (const auto& f : q.fields) {
    const bool left = leftStored && f.column == static_cast<int>(Column::Content);
    cols += (cols.empty() ? "" : ", ") + (left ? std::string("NULL") : f.sql);
  }
  const std::string where =
      NarrowedWhere(conn_->HasSubstringIndex(), q.where, q.substringMatch, q.params);
  fields_ = static_cast<int>(q.fields.size());
  stmt_ = std::make_unique<Stmt>(*conn_, "SELECT " + cols + ", rowid FROM ContentIndex" + where +
                                             (order == Order::kDatabase ? " ORDER BY rowid" : ""));
  stmt_->BindAll(q.params);
  if (leftStored) stored_ = std::make_unique<StoredContent>(conn_->handle());
}

RowReader::~RowReader() = default;

bool RowReader::Next() {
  if (!stored_) return stmt_->Step();
  bool more = false;
  {
    const StoredContent::Scope scope(*stored_);
    more = stmt_->Step();
  }
  // The piece reader holds a read of the database open; after the last row nothing needs it.
  if (!more) stored_->Close();
  return more;
}

Value RowReader::Field(int i) const {
  if (i < 0 || i >= fields_) throw DbError(kNotFound, "no field number " + std::to_string(i));
  return stmt_->Column(i);
}

std::int64_t RowReader::RowId() const {
  return stmt_->Int(fields_);
}

}  // namespace zyl::db
