// Running searches over indexes: the one search that the search window, the document server
// and the command line all drive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/Messages.h"
#include "db/WorkBudget.h"
#include "search/ResultList.h"
#include "search/SearchForm.h"

namespace zyl::search {

// An index offered for searching: its title and its descriptor.
struct IndexEntry {
  std::string title;
  std::string descriptorPath;
};

// The indexes of the recent index list, titles read from their descriptors (a missing
// descriptor keeps its path as the title).
std::vector<IndexEntry> RecentIndexes();

struct HistoryEntry {
  std::int64_t count = 0;
  std::string text;        // the search box text
  std::string indexNames;  // each name followed by ";"
  std::vector<ResultRow> results;
};

// The history list's text of an entry: Q + text + Q + " / " + count + " / " + names for an
// entry added by this window's search, " /" without the blank for entries rebuilt on opening.
std::string HistoryItemText(const HistoryEntry& entry, bool addedNow);

// What "search within the found documents" works on: the last index searched, the statement
// that found its rows and the conditions applied to them since.
struct FoundRows {
  std::string database;
  std::string sql;
  std::vector<std::string> filters;
};

// Everything one search gives; the session keeps it as its state.
struct SearchOutcome {
  std::vector<ResultRow> results;
  std::string sql;    // the statement (LastSearchSql)
  std::string error;  // the "Ошибка в запросе" text of a refused statement, else ""
  std::string indexNames;  // each searched title followed by ";"
  FoundRows found;         // what the next search within the found documents works on
  bool ok = true;          // false when the statement was refused or an index was unreadable
};

// Runs the form over the selected indexes (or, with "search within the found documents", over
// `previous`). Touches no shared state: every index is opened read-only on a connection of
// its own, so searches may run on several threads at once. Messages (a missing descriptor, a
// refused statement) go to `onMessage`, on the calling thread.
SearchOutcome ExecuteSearch(const SearchForm& form, const std::vector<IndexEntry>& selected,
                            const base::DateTimeParts& now, const FoundRows& previous,
                            const db::WorkBudget& budget, const base::MessageSink& onMessage);

class SearchSession {
 public:
  // Runs the form over the selected indexes (or, with "search within the found documents", over
  // the rows the previous search found in its last index). Messages (a missing descriptor, a
  // refused statement) go to onMessage. Returns false when the statement was
  // refused or an index could not be read; the rows collected before stay in Results().
  bool RunSearch(const SearchForm& form, const std::vector<IndexEntry>& selected,
                 const base::DateTimeParts& now);

  // Takes the outcome of a search run elsewhere (ExecuteSearch on a worker thread) as this
  // session's last search, history included, as RunSearch would have left it.
  void Adopt(SearchOutcome outcome, const std::string& searchText, bool useHistory);

  const std::vector<ResultRow>& Results() const { return results_; }
  std::size_t ResultCount() const { return results_.size(); }
  const std::vector<HistoryEntry>& History() const { return history_; }
  // The statement of the last search run (its condition also heads LastError()).
  const std::string& LastSearchSql() const { return lastSearchSql_; }
  // The "Ошибка в запросе" text of the last failed search ("" after a good one).
  const std::string& LastError() const { return lastError_; }
  // What a search within the found documents would search now.
  const FoundRows& Found() const { return found_; }

  // Whether to update the recent lists of config.ini (the command line leaves them alone).
  bool updateRecentLists = true;
  // Where the messages of a search go (a message box, stderr, a test's list).
  base::MessageSink onMessage;
  // What the statement may cost in each index; one that runs out is refused like a mistaken
  // condition. Generous enough for any plain search of a large index.
  db::WorkBudget budget{std::chrono::seconds(60), 256u << 20};

 private:
  std::vector<ResultRow> results_;
  std::vector<HistoryEntry> history_;
  std::string lastError_;
  std::string lastSearchSql_;
  FoundRows found_;
};

}  // namespace zyl::search
