#include "search/SearchSession.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
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
// of the search statement: title, author, content, location, type, modified, filesize).
template <typename Rows>
ResultRow RowOf(Rows& rows) {
  ResultRow row;
  row.title = rows.Field(0).AsText();
  row.author = rows.Field(1).AsText();
  row.content = rows.Field(2).AsText();
  row.location = rows.Field(3).AsText();
  row.type = rows.Field(4).AsText();
  row.modified = rows.Field(5).AsText();
  const db::Value size = rows.Field(6);
  row.filesize = size.IsNull() ? "n/a" : size.AsText();
  return row;
}

void AppendRows(db::Recordset& rs, std::vector<ResultRow>& results) {
  if (rs.Bof() && rs.Eof()) return;
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) results.push_back(RowOf(rs));
}

// A plain search reads every row of its statement once, in a forward pass.
void AppendRows(db::RowReader& rows, std::vector<ResultRow>& results) {
  while (rows.Next()) results.push_back(RowOf(rows));
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

bool SearchSession::RunSearch(const SearchForm& form, const std::vector<IndexEntry>& selected,
                              const base::DateTimeParts& now) {
  lastError_.clear();
  const bool useHistory = settings::Config().UseHistory;  // taken once, at the start
  const std::string sql = BuildSearchSql(RequestFromForm(form, now));
  lastSearchSql_ = sql;

  if (updateRecentLists) {
    settings::Settings& c = settings::Config();
    Remember(c.RecentSearch, form.searchText, "RecentSearch", onMessage);
    Remember(c.RecentTitle, form.title, "RecentTitle", onMessage);
    Remember(c.RecentAuthor, form.author, "RecentAuthor", onMessage);
    Remember(c.RecentFileName, form.fileName, "RecentFileName", onMessage);
  }

  results_.clear();
  std::string indexNames;
  // Failures after a database has been prepared end the search with the statement's condition.
  auto refuse = [&](const std::string& why) {
    lastError_ = "Ошибка в запросе: \r\n" + ConditionOf(lastSearchSql_);
    base::Deliver(onMessage, lastError_, why);
    return false;
  };

  if (form.searchInFound) {
    // The rows the previous search found in its last index, filtered by the new condition.
    if (!lastDatabase_.empty()) {
      try {
        db::Database database = db::Database::OpenReadOnly(lastDatabase_);
        database.SetWorkBudget(budget);
        db::Recordset rs = database.OpenRecordset(lastSql_);
        for (const std::string& filter : lastFilters_) rs = rs.Filter(filter);
        const std::string condition = ConditionOf(sql);
        rs = rs.Filter(condition);
        lastFilters_.push_back(condition);
        AppendRows(rs, results_);
      } catch (const std::exception& e) {
        return refuse(e.what());
      }
    }
  } else {
    for (const IndexEntry& index : selected) {
      indexNames += index.title + ";";
      if (!base::FileExists(index.descriptorPath)) {
        base::Deliver(onMessage, "Файл " + index.descriptorPath + " не существует");
        continue;
      }
      catalog::UpgradeIndex(index.descriptorPath, onMessage);
      const std::string dbname = catalog::ReadGeneral(index.descriptorPath, "dbname");
      try {
        db::Database database = db::Database::OpenReadOnly(dbname);
        database.SetWorkBudget(budget);
        db::RowReader rows(database, sql);
        lastDatabase_ = dbname;
        lastSql_ = sql;
        lastFilters_.clear();
        AppendRows(rows, results_);
      } catch (const std::exception& e) {
        return refuse(e.what());
      }
    }
  }

  if (useHistory) {
    history_.push_back(
        {static_cast<std::int64_t>(results_.size()), form.searchText, indexNames, results_});
  }
  return true;
}

}  // namespace zyl::search
