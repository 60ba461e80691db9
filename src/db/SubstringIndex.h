// The substring index beside ContentIndex: an engine full-text table of the content's trigrams,
// keyed by the row's stable key. It only ever narrows a search to candidate rows; the LIKE
// test still decides every row, so a search answers exactly as a scan of the whole table.
//
// The index holds the content folded as LIKE folds it (code point by code point, simple case
// folding, malformed bytes read as LIKE reads them), and the engine's tokenizer runs with its
// own folding off. So a pattern's literal characters, folded the same way, find every row
// LIKE can match, whatever the engine's idea of letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"

namespace zyl::db {

class LikePattern;

inline constexpr const char* kSubstringTable = "ContentFts";
// Shortest literal run the index can narrow by: its terms are runs of three characters.
inline constexpr std::size_t kTrigram = 3;

// The content folded as the index holds it.
std::string FoldForSubstringIndex(std::string_view content);
// What an index of the current kind is given for `content`: the distinct trigrams of its
// folding (db/TrigramTokenizer.h). An index made by earlier versions, which tokenizes with the
// engine's own trigram tokenizer, is given the folding itself.
std::string SubstringIndexText(std::string_view content);

// A MATCH expression every row that `pattern` matches satisfies (all trigrams of the
// pattern's literal runs), or "" when the pattern has no run of three characters. `padded`:
// the pattern is matched against " " + content + " ", whose blanks are not in the index.
std::string SubstringCandidates(const LikePattern& pattern, bool padded);

// The WHERE clause of a SELECT over ContentIndex for the compiled condition `where`: narrowed to
// the candidates of `match` when the connection has the index and the condition gives a match
// (which is then appended to `params`), else the condition alone; "" for no condition.
std::string NarrowedWhere(bool hasIndex, const std::string& where, const std::string& match,
                          std::vector<Value>& params);

// Engine statements of this layer (no outside text in them).
std::string CreateSubstringIndexSql();
// Memory the engine may fill with a writer's pending index terms before it writes them out.
inline constexpr std::size_t kSubstringHashBytes = 16 << 20;
// Sets that size in the file (it keeps it for every later writer).
std::string TuneSubstringIndexSql();
// Adds, or removes, the index entries of the rows of ContentIndex that `where` selects, in an
// index of the current kind (`distinct`) or of the earlier one.
std::string IndexRowsSql(std::string_view where, bool distinct);
std::string UnindexRowsSql(std::string_view where, bool distinct);
// Whether the index whose CREATE statement is `sql` is of the current kind.
bool TakesDistinctTrigrams(std::string_view sql);

}  // namespace zyl::db
