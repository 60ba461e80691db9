// The index database: its template, its creation from the template and its upgrade.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::catalog {

// The template database of the program folder ("index.mdb").
std::string TemplateDatabasePath();
// Creates the template when it is missing (a seed step of the program folder).
void EnsureTemplateDatabase(const std::string& programFolder);
// Copies the template to `dbname`, replacing any file there. Throws std::runtime_error with a
// clear message when the template is missing or the copy fails.
void CreateIndexDatabase(const std::string& dbname);

// Whether the database's ContentIndex has the filesize column; nullopt when the database or the
// table cannot be read.
std::optional<bool> HasFilesizeColumn(const std::string& dbname);
// Adds filesize (32-bit integer, default 0); false on failure.
bool AddFilesizeColumn(const std::string& dbname);
// Gives a database of an older version the stable row key and the substring index that
// searches narrow by (db::Database::AddSubstringIndex). True when it added them, false when
// they were there, nullopt on failure.
std::optional<bool> AddSubstringIndex(const std::string& dbname);

}  // namespace zyl::catalog
