#include "search/SearchSession.h"

#include <map>
#include <memory>
#include <mutex>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "catalog/IndexList.h"
#include "catalog/UpgradeIndex.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::search {

std::vector<IndexEntry> RecentIndexes() {
  std::vector<IndexEntry> entries;
  for (const std::string& path : catalog::ReadRecentIndexList()) {
    // A missing descriptor must not be created by reading it.
    const std::string title =
        base::FileExists(path) ? catalog::ReadGeneral(path, "title", path) : path;
    entries.push_back({title, path});
  }
  return entries;
}

namespace {

// A found row from a recordset or a forward reader (both give fields by position in the order
// of the search statement: title, author, content, location, type, modified, filesize). The
// content is left in the database; the row's number finds it again.
template <typename Rows>
ResultRow RowOf(Rows& rows, const std::string& database) {
  ResultRow row;
  row.database = database;
  row.rowid = rows.RowId();
  row.title = rows.Field(0).AsText();
  row.author = rows.Field(1).AsText();
  row.location = rows.Field(3).AsText();
  row.type = rows.Field(4).AsText();
  row.modified = rows.Field(5).AsText();
  const db::Value size = rows.Field(6);
  row.filesize = size.IsNull() ? "n/a" : size.AsText();
  return row;
}

void AppendRows(db::Recordset& rs, const std::string& database, std::vector<ResultRow>& results) {
  if (rs.Bof() && rs.Eof()) return;
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) results.push_back(RowOf(rs, database));
}

// A plain search reads every row of its statement once, in a forward pass.
void AppendRows(db::RowReader& rows, const std::string& database, std::vector<ResultRow>& results) {
  while (rows.Next()) results.push_back(RowOf(rows, database));
}

// Bringing an older index up to date rewrites its descriptor and database; two searches of
// the document server must not do it to one index at once. Other indexes are not held up
// meanwhile (a database busy with a writer makes its own searches wait, no others).
std::shared_ptr<std::mutex> UpgradeLockOf(const std::string& descriptorPath) {
  static std::mutex mapMutex;
  static std::map<std::string, std::shared_ptr<std::mutex>> locks;
  const std::lock_guard lock(mapMutex);
  std::shared_ptr<std::mutex>& entry = locks[descriptorPath];
  if (!entry) entry = std::make_shared<std::mutex>();
  return entry;
}

void Remember(std::string& list, const std::string& item, std::string_view key,
              const base::MessageSink& report) {
  if (item.empty()) return;
  settings::AddToRecentList(item, list);
  try {
    settings::SaveGeneralSetting(key, list);
  } catch (const std::exception& e) {
    base::Deliver(report, e.what());
  }
}

}  // namespace

std::string HistoryItemText(const HistoryEntry& e, bool addedNow) {
  const std::string sep = addedNow ? " / " : " /";
  return "\"" + e.text + "\"" + sep + std::to_string(e.count) + sep + e.indexNames;
}

SearchOutcome ExecuteSearch(const SearchForm& form, const std::vector<IndexEntry>& selected,
                            const base::DateTimeParts& now, const FoundRows& previous,
                            const db::WorkBudget& budget, const base::MessageSink& onMessage) {
  SearchOutcome out;
  out.sql = BuildSearchSql(RequestFromForm(form, now));
  out.found = previous;
  // Failures after a database has been prepared end the search with the statement's condition.
  auto refuse = [&](const std::string& why) {
    out.error = "Ошибка в запросе: \r\n" + ConditionOf(out.sql);
    out.ok = false;
    base::Deliver(onMessage, out.error, why);
    return out;
  };

  if (form.searchInFound) {
    // The rows the previous search found in its last index, filtered by the new condition.
    if (!previous.database.empty()) {
      try {
        db::Database database = db::Database::OpenReadOnly(previous.database);
        database.SetWorkBudget(budget);
        db::Recordset rs = database.OpenRecordset(previous.sql);
        for (const std::string& filter : previous.filters) rs = rs.Filter(filter);
        const std::string condition = ConditionOf(out.sql);
        rs = rs.Filter(condition);
        out.found.filters.push_back(condition);
        AppendRows(rs, previous.database, out.results);
      } catch (const std::exception& e) {
        return refuse(e.what());
      }
    }
    return out;
  }
  for (const IndexEntry& index : selected) {
    out.indexNames += index.title + ";";
    if (!base::FileExists(index.descriptorPath)) {
      base::Deliver(onMessage, "Файл " + index.descriptorPath + " не существует");
      continue;
    }
    if (catalog::IsUnfinishedIndex(index.descriptorPath)) {
      base::Deliver(onMessage, catalog::UnfinishedIndexMessage(index.descriptorPath));
      out.ok = false;
      continue;
    }
    {
      const std::shared_ptr<std::mutex> upgrading = UpgradeLockOf(index.descriptorPath);
      const std::lock_guard lock(*upgrading);
      catalog::UpgradeIndex(index.descriptorPath, onMessage);
    }
    const std::string dbname = catalog::ReadGeneral(index.descriptorPath, "dbname");
    try {
      db::Database database = db::Database::OpenReadOnly(dbname);
      database.SetWorkBudget(budget);
      // The rows are listed without their text (ResultRow), so the content stays in the file
      // and its LIKE tests read only as much of each text as they need.
      db::RowReader rows(database, out.sql, db::RowReader::Order::kDatabase,
                         db::RowReader::Content::kLeftStored);
      out.found = {dbname, out.sql, {}};
      AppendRows(rows, dbname, out.results);
    } catch (const std::exception& e) {
      return refuse(e.what());
    }
  }
  return out;
}

bool SearchSession::RunSearch(const SearchForm& form, const std::vector<IndexEntry>& selected,
                              const base::DateTimeParts& now) {
  const bool useHistory = settings::Config().UseHistory;  // taken once, at the start
  if (updateRecentLists) {
    settings::Settings& c = settings::Config();
    Remember(c.RecentSearch, form.searchText, "RecentSearch", onMessage);
    Remember(c.RecentTitle, form.title, "RecentTitle", onMessage);
    Remember(c.RecentAuthor, form.author, "RecentAuthor", onMessage);
    Remember(c.RecentFileName, form.fileName, "RecentFileName", onMessage);
  }
  SearchOutcome outcome = ExecuteSearch(form, selected, now, found_, budget, onMessage);
  const bool ok = outcome.ok;
  Adopt(std::move(outcome), form.searchText, useHistory);
  return ok;
}

void SearchSession::Adopt(SearchOutcome outcome, const std::string& searchText, bool useHistory) {
  lastSearchSql_ = std::move(outcome.sql);
  lastError_ = std::move(outcome.error);
  found_ = std::move(outcome.found);
  results_ = std::move(outcome.results);
  // A refused statement leaves no history entry; an unreadable index does not stop one.
  if (useHistory && lastError_.empty()) {
    history_.push_back({static_cast<std::int64_t>(results_.size()), searchText,
                        std::move(outcome.indexNames), results_});
  }
}

}  // namespace zyl::search
