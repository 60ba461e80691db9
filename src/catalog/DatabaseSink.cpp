#include "catalog/DatabaseSink.h"

namespace zyl::catalog {

DatabaseSink::DatabaseSink(const std::string& dbname, std::size_t commitEvery)
    : db_(db::Database::Open(dbname)),
      table_(db_.OpenRecordset(kTableName)),
      commitEvery_(commitEvery ? commitEvery : 1) {
  rows_ = table_.RecordCount();
}

DatabaseSink::~DatabaseSink() {
  try {
    Commit();
    SyncToDisk();
  } catch (const std::exception&) {
    // Nothing to report to at this point; the rows of the open group are lost.
  }
}

void DatabaseSink::DeferSyncing() {
  db_.DeferSyncing();
  deferred_ = true;
}

void DatabaseSink::SyncToDisk() {
  if (!deferred_) return;
  deferred_ = false;
  db_.SyncToDisk();
}

void DatabaseSink::AppendRow(const FileInfo& row) {
  try {
    if (!tx_) tx_.emplace(db_);
    table_.AddNew();
    table_.SetField("author", row.author);
    table_.SetField("content", row.content);
    table_.SetField("location", row.location);
    table_.SetField("modified", row.modified);
    table_.SetField("title", row.title);
    table_.SetField("type", row.type);
    table_.SetField("filesize", static_cast<long long>(row.filesize));
    if (!row.trigramKeys.empty()) table_.SetTrigramKeys(row.trigramKeys);
    table_.Update();
  } catch (const db::DbError& e) {
    table_.CancelUpdate();
    throw ContentSinkError(e.code(), e.what());
  }
  ++rows_;
  if (++pending_ >= commitEvery_) Commit();
}

void DatabaseSink::Commit() {
  if (tx_) {
    tx_->Commit();
    tx_.reset();
  }
  pending_ = 0;
}

}  // namespace zyl::catalog
