#include "catalog/IndexDatabase.h"

#include <filesystem>
#include <stdexcept>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "catalog/IndexTable.h"
#include "db/Database.h"

namespace zyl::catalog {

std::string TemplateDatabasePath() {
  return base::InProgramFolder("index.mdb");
}

void EnsureTemplateDatabase(const std::string& programFolder) {
  const std::string path = base::JoinPath(programFolder, "index.mdb");
  if (base::FileExists(path)) return;
  try {
    db::Database::CreateEmpty(path);
  } catch (const std::exception&) {
    // The build reports a missing template when it needs it.
  }
}

void CreateIndexDatabase(const std::string& dbname) {
  const std::string source = TemplateDatabasePath();
  if (!base::FileExists(source))
    throw std::runtime_error("the template database " + source + " is missing");
  // Copy next to the target and rename over it, so that a reader never sees half a database.
  const std::string tmp = dbname + ".part";
  std::error_code ec;
  std::filesystem::copy_file(source, tmp, std::filesystem::copy_options::overwrite_existing, ec);
  if (!ec) std::filesystem::rename(tmp, dbname, ec);
  if (ec) {
    std::filesystem::remove(tmp);
    throw std::runtime_error("cannot create the index database " + dbname + ": " + ec.message());
  }
  // Journals of an earlier database of the same name belong to that one.
  std::filesystem::remove(dbname + "-wal", ec);
  std::filesystem::remove(dbname + "-shm", ec);
}

std::optional<bool> HasFilesizeColumn(const std::string& dbname) {
  try {
    // Only looks: a search asks this of every index it opens.
    db::Database database = db::Database::OpenReadOnly(dbname);
    if (!database.HasTable(kTableName)) return std::nullopt;
    return database.HasColumn(kTableName, "filesize");
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool AddFilesizeColumn(const std::string& dbname) {
  try {
    db::Database database = db::Database::Open(dbname);
    database.AddColumn(kTableName, "filesize", "INTEGER", db::Value(0));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zyl::catalog
