// The substring index of the previous version: a full-text table of the engine, "ContentFts",
// which later versions replace by their own (db/TrigramIndex.h). Files that have it still
// open and search (by the scan, until their next update replaces it).
#pragma once

struct sqlite3;

namespace zyl::db {

inline constexpr const char* kOldSubstringTable = "ContentFts";

// Drops that table from a file that has it. Throws DbError.
void DropOldSubstringIndex(sqlite3* db);

}  // namespace zyl::db
