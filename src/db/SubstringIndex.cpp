#include "db/SubstringIndex.h"

#include <set>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "db/LikePattern.h"
#include "db/TrigramTokenizer.h"

namespace zyl::db {

namespace {

// Terms of one pattern are few: any subset of a run's trigrams still holds every match, and a
// handful already narrows as far as the index can.
constexpr std::size_t kMaxTermsPerPattern = 12;

void AppendTerm(std::string& out, const std::u32string& trigram) {
  std::string t;
  for (char32_t c : trigram) base::AppendUtf8(t, c);
  out += '"';
  for (char c : t) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string FoldForSubstringIndex(std::string_view content) {
  std::string out;
  out.reserve(content.size());
  std::size_t i = 0;
  while (i < content.size()) {
    const auto c = static_cast<unsigned char>(content[i]);
    if (c < 0x80) {
      out += static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + 32 : c);
      ++i;
      continue;
    }
    base::AppendUtf8(out, base::FoldCodePoint(base::DecodeUtf8At(content, i)));
  }
  return out;
}

std::string SubstringIndexText(std::string_view content) {
  return DistinctTrigrams(FoldForSubstringIndex(content));
}

std::string SubstringCandidates(const LikePattern& pattern, bool padded) {
  std::set<std::u32string> trigrams;
  for (std::u32string run : pattern.LiteralRuns()) {
    // Against a padded text a run may begin on the blank before the content or end on the
    // blank after it; neither is indexed.
    if (padded && !run.empty() && run.front() == U' ') run.erase(0, 1);
    if (padded && !run.empty() && run.back() == U' ') run.pop_back();
    // The engine reads its query text only up to a zero character; trigrams holding one are
    // left out (fewer terms only widen the candidates).
    for (std::size_t i = 0; i + kTrigram <= run.size(); ++i)
      if (run.substr(i, kTrigram).find(U'\0') == std::u32string::npos)
        trigrams.insert(run.substr(i, kTrigram));
  }
  if (trigrams.empty()) return {};
  // Spread the chosen terms over the pattern rather than taking its first characters only.
  const std::size_t step = (trigrams.size() + kMaxTermsPerPattern - 1) / kMaxTermsPerPattern;
  std::string out;
  std::size_t k = 0;
  for (const std::u32string& t : trigrams) {
    if (k++ % step) continue;
    if (!out.empty()) out += " AND ";
    AppendTerm(out, t);
  }
  return out;
}

std::string NarrowedWhere(bool hasIndex, const std::string& where, const std::string& match,
                          std::vector<Value>& params) {
  if (where.empty()) return {};
  if (!hasIndex || match.empty()) return " WHERE " + where;
  // Only rows holding every trigram of the patterns are tested; the condition itself still
  // decides each of them, so the rows are those of a scan.
  params.emplace_back(match);
  return std::string(" WHERE rowid IN (SELECT rowid FROM ") + kSubstringTable + " WHERE " +
         kSubstringTable + " MATCH ?" + std::to_string(params.size()) + ") AND (" + where + ")";
}

std::string CreateSubstringIndexSql() {
  return std::string("CREATE VIRTUAL TABLE ") + kSubstringTable +
         " USING fts5(content, content='', detail=none, columnsize=0, tokenize='" +
         kTrigramTokenizer + "')";
}

std::string TuneSubstringIndexSql() {
  // The engine writes its pending terms out as a new segment whenever they pass the hash size,
  // and merges segments as they pile up. With the default of a megabyte a build of prose wrote
  // a segment every few dozen documents and spent half its time merging them again; with room
  // for a whole commit group of rows, it writes one segment per commit.
  return std::string("INSERT INTO ") + kSubstringTable + "(" + kSubstringTable +
         ", rank) VALUES('hashsize', " + std::to_string(kSubstringHashBytes) + ")";
}

bool TakesDistinctTrigrams(std::string_view sql) {
  return sql.find(kTrigramTokenizer) != std::string_view::npos;
}

namespace {
// The text of a row's entry, computed from its stored content.
const char* EntryText(bool distinct) {
  return distinct ? "zyl_trigrams(content)" : "zyl_fold(content)";
}
}  // namespace

std::string IndexRowsSql(std::string_view where, bool distinct) {
  return std::string("INSERT INTO ") + kSubstringTable + "(rowid, content) SELECT rowid, " +
         EntryText(distinct) + " FROM ContentIndex WHERE content IS NOT NULL AND (" +
         std::string(where) + ")";
}

std::string UnindexRowsSql(std::string_view where, bool distinct) {
  return std::string("INSERT INTO ") + kSubstringTable + "(" + kSubstringTable +
         ", rowid, content) SELECT 'delete', rowid, " + EntryText(distinct) +
         " FROM ContentIndex WHERE content IS NOT NULL AND (" + std::string(where) + ")";
}

}  // namespace zyl::db
