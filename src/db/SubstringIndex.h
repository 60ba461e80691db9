// How a search narrows by the substring index (db/TrigramIndex.h): the compiler turns each
// `content LIKE` with a literal pattern into the trigram keys every matching row holds, and
// the statement takes only the rows holding them before LIKE decides each. The rows are those
// of a scan of the whole table, only fewer are read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/TrigramKeys.h"
#include "db/Value.h"

struct sqlite3;

namespace zyl::db {

class LikePattern;

// Shortest literal run the index can narrow by: its keys are runs of three characters.
inline constexpr std::size_t kTrigram = 3;

// A candidate expression every row that `pattern` matches satisfies (all keys of the pattern's
// literal runs, as decimal numbers joined by AND), or "" when the pattern has no run of three
// characters. `padded`: the pattern is matched against " " + content + " ", whose blanks are
// not in the index. The compiler joins such expressions by AND and OR, in parentheses.
std::string SubstringCandidates(const LikePattern& pattern, bool padded);

// The rows an expression of SubstringCandidates selects, ascending. Throws DbError for an
// expression that is not one (it is outside input where a statement holds it).
std::vector<std::int64_t> EvaluateCandidates(sqlite3* db, std::string_view expression);

// Makes the table function zyl_candidates(expression), whose rows are those of
// EvaluateCandidates, known to the connection.
void RegisterCandidateTable(sqlite3* db);

// The WHERE clause of a SELECT over ContentIndex for the compiled condition `where`: narrowed to
// the candidates of `match` when the connection has the index and the condition gives an
// expression (which is then appended to `params`), else the condition alone; "" for no
// condition.
std::string NarrowedWhere(bool hasIndex, const std::string& where, const std::string& match,
                          std::vector<Value>& params);

}  // namespace zyl::db
