#include "catalog/IndexDatabase.h"

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "catalog/IndexTable.h"
#include "db/Database.h"

namespace zyl::catalog {

std::string TemplateDatabasePath() {
  return base::InProgramFolder("index.mdb");
}

namespace {

// A template is usable when it opens and holds the table. A seeding that was killed half-way
// used to leave an empty file, which then failed every later build of the program folder.
bool UsableTemplate(const std::string& path) {
  if (!base::FileExists(path)) return false;
  try {
    db::Database database = db::Database::Open(path);
    return database.HasTable("ContentIndex");
  } catch (const std::exception&) {
    return false;
  }
}

// A database file with the SQLite header and at least the two pages of a schema and a table,
// as the header itself counts its pages and their size.
bool LooksWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[100] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return false;
  if (std::memcmp(h, "SQLite format 3", 16) != 0) return false;
  const std::uint32_t pageSize = h[16] << 8 | h[17];
  const std::uint32_t pages =
      std::uint32_t{h[28]} << 24 | std::uint32_t{h[29]} << 16 | h[30] << 8 | h[31];
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  // A page size of 1 in the header stands for 65536.
  const std::uint64_t bytes = std::uint64_t{pages} * (pageSize == 1 ? 65536 : pageSize);
  return !ec && pages >= 2 && pageSize != 0 && size >= bytes;
}

// Creates the template beside its place and renames it there, so that the template is either
// missing or whole, whenever the process is stopped.
void CreateTemplate(const std::string& path) {
  const std::string part = path + ".part-" + std::to_string(::getpid());
  std::error_code ec;
  std::filesystem::remove(part, ec);
  try {
    db::Database::CreateEmpty(part).Close();
  } catch (const std::exception&) {
    std::filesystem::remove(part, ec);
    return;  // the build reports a missing template when it needs it
  }
  std::filesystem::rename(part, path, ec);
  if (ec) std::filesystem::remove(part, ec);
  std::filesystem::remove(part + "-wal", ec);
  std::filesystem::remove(part + "-shm", ec);
}

}  // namespace

void EnsureTemplateDatabase(const std::string& programFolder) {
  const std::string path = base::JoinPath(programFolder, "index.mdb");
  // Every start comes here, a search from a script too, so a template that looks whole is not
  // opened: CreateIndexDatabase checks it in full before it is copied.
  if (LooksWhole(path) || UsableTemplate(path)) return;
  CreateTemplate(path);
}

void CreateIndexDatabase(const std::string& dbname) {
  const std::string source = TemplateDatabasePath();
  // An empty or damaged template is as good as none: make a fresh one.
  if (!UsableTemplate(source)) CreateTemplate(source);
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
  // A template seeded by an earlier version lacks the substring index; the copy gets it now,
  // while it is empty and the index costs nothing to fill.
  try {
    db::Database::Open(dbname).AddSubstringIndex();
  } catch (const std::exception& e) {
    throw std::runtime_error("cannot prepare the index database " + dbname + ": " + e.what());
  }
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

std::optional<bool> AddSubstringIndex(const std::string& dbname) {
  try {
    db::Database database = db::Database::Open(dbname);
    return database.AddSubstringIndex();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace zyl::catalog
