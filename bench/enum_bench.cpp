// Folder walk cost: a recursive search over many masks must cost about what one mask costs,
// because the tree is read once per search, not once per mask.
//
// Trees: N files in N/20 folders (a root, 40 top folders and the rest spread below them), 20
// files per folder with 20 different extensions, hidden files included.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "indexer/FilesRetClass.h"

namespace {

const char* const kExtensions[20] = {"txt", "doc", "rtf", "wri", "wpd", "wps", "dot",
                                     "htm", "xls", "wk1", "dbf", "wq1", "dif", "csv",
                                     "xlt", "xlw", "mp3", "zip", "pdf", "cpp"};

std::string Masks(int n) {
  std::string masks;
  for (int i = 0; i < n; ++i) masks += std::string("*.") + kExtensions[i] + ";";
  return masks;
}

class Tree {
 public:
  explicit Tree(int folders) {
    root_ = (std::filesystem::temp_directory_path() /
             ("zyl-enum-bench-" + std::to_string(::getpid()) + "-" + std::to_string(folders)))
                .string();
    std::filesystem::remove_all(root_);
    int made = 0;
    for (int top = 0; made < folders; ++top) {
      const std::string topDir = root_ + "/top" + std::to_string(top);
      Fill(topDir, made++);
      for (int sub = 0; sub < folders / 40 - 1 && made < folders; ++sub)
        Fill(topDir + "/sub" + std::to_string(sub), made++);
    }
  }
  ~Tree() { std::filesystem::remove_all(root_); }
  const std::string& root() const { return root_; }

 private:
  static void Fill(const std::string& dir, int n) {
    std::filesystem::create_directories(dir);
    for (int i = 0; i < 20; ++i) {
      const std::string name = (i == 0 ? ".hidden" : "file") + std::to_string(n) + "_" +
                               std::to_string(i) + "." + kExtensions[i];
      std::ofstream(dir + "/" + name) << "x";
    }
  }
  std::string root_;
};

const Tree& TreeOf(int folders) {
  static std::map<int, std::unique_ptr<Tree>> trees;
  auto& t = trees[folders];
  if (!t) t = std::make_unique<Tree>(folders);
  return *t;
}

// One recursive multi-mask search: args = folders in the tree, masks.
void BM_SubFilesMultiExt(benchmark::State& state) {
  const Tree& tree = TreeOf(static_cast<int>(state.range(0)));
  const std::string masks = Masks(static_cast<int>(state.range(1)));
  std::size_t found = 0;
  for (auto _ : state) {
    zyl::indexer::FilesRetClass f;
    int events = 0;
    f.onFolderProceed = [&](const std::string&) { ++events; };
    f.onYield = [] {};
    found = f.GetSubFilesMultiExt(masks, tree.root()).size() - 1;
    benchmark::DoNotOptimize(events);
  }
  state.counters["files"] = static_cast<double>(found);
  state.counters["folders"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SubFilesMultiExt)
    ->Args({500, 1})
    ->Args({500, 20})
    ->Args({2000, 1})
    ->Args({2000, 20})
    ->Unit(benchmark::kMillisecond);

// For comparison: the same search done as one separate walk per mask, each reading the tree.
void BM_OneWalkPerMask(benchmark::State& state) {
  const Tree& tree = TreeOf(static_cast<int>(state.range(0)));
  const int masks = static_cast<int>(state.range(1));
  std::size_t found = 0;
  for (auto _ : state) {
    zyl::indexer::FilesRetClass f;
    found = 0;
    for (int i = 0; i < masks; ++i)
      found += f.GetSubFiles(std::string("*.") + kExtensions[i], tree.root()).size() - 1;
  }
  state.counters["files"] = static_cast<double>(found);
}
BENCHMARK(BM_OneWalkPerMask)->Args({2000, 1})->Args({2000, 20})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
