#include "db/SubstringIndex.h"

#include <set>

#include "db/LikePattern.h"

namespace zyl::db {

namespace {

// Keys of one pattern are few: any subset of a run's trigrams still holds every match, and a
// handful already narrows as far as the index can.
constexpr std::size_t kMaxTermsPerPattern = 12;

}  // namespace

std::string SubstringCandidates(const LikePattern& pattern, bool padded) {
  std::set<TrigramKey> keys;
  for (std::u32string run : pattern.LiteralRuns()) {
    // Against a padded text a run may begin on the blank before the content or end on the
    // blank after it; neither is indexed.
    if (padded && !run.empty() && run.front() == U' ') run.erase(0, 1);
    if (padded && !run.empty() && run.back() == U' ') run.pop_back();
    for (std::size_t i = 0; i + kTrigram <= run.size(); ++i)
      keys.insert(TrigramKeyOf(run[i], run[i + 1], run[i + 2]));
  }
  if (keys.empty()) return {};
  // Spread the chosen keys over the pattern rather than taking its first characters only.
  const std::size_t step = (keys.size() + kMaxTermsPerPattern - 1) / kMaxTermsPerPattern;
  std::string out;
  std::size_t k = 0;
  for (TrigramKey key : keys) {
    if (k++ % step) continue;
    if (!out.empty()) out += " AND ";
    out += std::to_string(key);
  }
  return out;
}

std::string NarrowedWhere(bool hasIndex, const std::string& where, const std::string& match,
                          std::vector<Value>& params) {
  if (where.empty()) return {};
  if (!hasIndex || match.empty()) return " WHERE " + where;
  // Only rows holding every key of the patterns are tested; the condition itself still
  // decides each of them, so the rows are those of a scan.
  params.emplace_back(match);
  return " WHERE rowid IN (SELECT rowid FROM zyl_candidates(?" + std::to_string(params.size()) +
         ")) AND (" + where + ")";
}

}  // namespace zyl::db
