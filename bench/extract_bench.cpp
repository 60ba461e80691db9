// Throughput of the plain-text and HTML readers on one core, files of 10 KB to 10 MB, plus the
// built-in stripper on a 50 MB page. Run: build/bench/extract_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "extract/html/HtmlGumboReader.h"
#include "extract/html/HtmlReader.h"
#include "extract/text/TextReader.h"
#include "settings/Settings.h"

namespace {

using namespace zyl;

const std::string kSentence =
    "Отчет о работе отдела за третий квартал: Петров Алексей подготовил таблицу товаров, "
    "а Мария Сергеевна проверила расчеты и подписала документ. ";

std::string Utf8Text(std::size_t size) {
  std::string s;
  while (s.size() < size) s += kSentence + "\r\n";
  s.resize(size);
  return s;
}

std::string Cp1251Text(std::size_t size) {
  std::string s = base::Utf8ToCp1251(Utf8Text(size));
  s.resize(size, ' ');
  return s;
}

// A page shaped like ordinary documents: paragraphs, links, tables, a script and comments.
std::string Page(std::size_t size) {
  std::string s =
      "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">"
      "<title>Отчет</title><meta name=author content=\"Петров\"><style>p{margin:0}</style>"
      "<script>function f(a){return a<1;}</script></head><body>";
  for (int i = 0; s.size() < size; ++i) {
    s += "<div class=\"row\"><p>" + kSentence + "<a href=\"page" + std::to_string(i) +
         ".htm\">ссылка</a>&nbsp;<b>важно</b></p><!-- row " + std::to_string(i) +
         " --><table><tr><td>1</td><td>2</td></tr></table></div>\r\n";
  }
  s += "</body></html>";
  return base::Utf8ToCp1251(s);
}

// Files are written once per run into a temporary folder.
class Files {
 public:
  ~Files() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Get(const std::string& kind, std::size_t size) {
    const std::string key = kind + std::to_string(size);
    auto it = paths_.find(key);
    if (it != paths_.end()) return it->second;
    if (dir_.empty()) {
      std::string tmpl = (std::filesystem::temp_directory_path() / "zyl-bench-XXXXXX").string();
      if (!::mkdtemp(tmpl.data())) std::abort();
      dir_ = tmpl;
    }
    const std::string bytes = kind == "utf8"     ? Utf8Text(size)
                              : kind == "cp1251" ? Cp1251Text(size)
                                                 : Page(size);
    const std::string path = base::JoinPath(dir_, key + (kind == "page" ? ".htm" : ".txt"));
    if (!base::WriteFileAtomic(path, bytes)) std::abort();
    return paths_.emplace(key, path).first->second;
  }

 private:
  std::string dir_;
  std::map<std::string, std::string> paths_;
};

Files& BenchFiles() {
  static Files files;
  return files;
}

void SizeArgs(benchmark::internal::Benchmark* b) {
  for (long size : {10L << 10, 100L << 10, 1L << 20, 10L << 20}) b->Arg(size);
  b->Unit(benchmark::kMillisecond);
}

void BM_PlainTextUtf8(benchmark::State& state) {
  const std::string& path = BenchFiles().Get("utf8", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(extract::GetTextInfo(path, false));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainTextUtf8)->Apply(SizeArgs);

void BM_PlainTextCp1251(benchmark::State& state) {
  const std::string& path = BenchFiles().Get("cp1251", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(extract::GetTextInfo(path, false));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainTextCp1251)->Apply(SizeArgs);

void BM_PlainTextDetectCodePage(benchmark::State& state) {
  const std::string& path = BenchFiles().Get("cp1251", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(extract::GetTextInfo(path, true));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainTextDetectCodePage)->Apply(SizeArgs);

void BM_HtmlBuiltIn(benchmark::State& state) {
  const std::string& path = BenchFiles().Get("page", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(extract::GetHtmlInfo(path));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HtmlBuiltIn)->Apply(SizeArgs);

void BM_HtmlRendered(benchmark::State& state) {
  const std::string& path = BenchFiles().Get("page", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(extract::GetHtmlInfoIE(path));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HtmlRendered)->Apply(SizeArgs);

// The built-in reader's whole pipeline on a 50 MB page held in memory.
void BM_HtmlBuiltIn50MB(benchmark::State& state) {
  const std::string page = Page(50L << 20);
  for (auto _ : state) benchmark::DoNotOptimize(extract::HtmlInfoFromBytes(page));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_HtmlBuiltIn50MB)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
