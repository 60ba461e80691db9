// Search latency over a built index (bench/build_bench.sh leaves one in /tmp/zyl-bench).
// usage: ZYL_HOME=/tmp/zyl-bench/home search_bench [--benchmark_repetitions=5]
// The index is the descriptor $ZYL_HOME/index/Bench.zyl; a second index for the two-index case
// is the same descriptor listed twice.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>

#include "base/Messages.h"
#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "search/SearchSession.h"
#include "settings/Config.h"

namespace {

using zyl::search::SearchForm;

std::string Descriptor() {
  const char* home = std::getenv("ZYL_HOME");
  return std::string(home ? home : "/tmp/zyl-bench/home") + "/index/Bench.zyl";
}

void Run(benchmark::State& state, SearchForm form, int indexes) {
  if (!zyl::base::FileExists(Descriptor())) {
    state.SkipWithError("no benchmark index: run bench/build_bench.sh first");
    return;
  }
  std::vector<zyl::search::IndexEntry> selected(indexes, {"Bench", Descriptor()});
  zyl::search::SearchSession session;
  session.updateRecentLists = false;
  session.onMessage = [](const zyl::base::Message& m) { std::cerr << m.text << "\n"; };
  const zyl::base::DateTimeParts now{2026, 12, 6, 12, 0, 0};
  std::size_t rows = 0;
  for (auto _ : state) {
    session.RunSearch(form, selected, now);
    rows = session.ResultCount();
  }
  state.counters["rows"] = static_cast<double>(rows);
}

SearchForm Words(std::string text, int type = zyl::search::kAnyWord, bool whole = false) {
  SearchForm f;
  f.searchText = std::move(text);
  f.searchType = type;
  f.wholeWord = whole;
  return f;
}

SearchForm WithConditions(SearchForm f) {
  f.dateBetween = true;
  f.dateFrom = "01.01.2000";
  f.dateTo = "31.12.2099";
  f.types[0] = true;  // txt
  return f;
}

}  // namespace

BENCHMARK_CAPTURE(Run, any_word, Words("budget"), 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, two_words_any, Words("budget invoice"), 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, two_words_all, Words("budget invoice", zyl::search::kAllWords), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, phrase, Words("budget report", zyl::search::kPhrase), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, whole_word, Words("budget", zyl::search::kAnyWord, true), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, cyrillic_word, Words("бюджет"), 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, found_nowhere, Words("xylophone"), 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, word_date_type, WithConditions(Words("budget")), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, nowhere_date_type, WithConditions(Words("xylophone")), 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, two_indexes, Words("xylophone"), 2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  const char* home = std::getenv("ZYL_HOME");
  zyl::base::SetProgramFolder(home ? home : "/tmp/zyl-bench/home");
  zyl::settings::LoadConfig();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
