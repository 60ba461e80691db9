// Replay driver for fuzz targets when libFuzzer is not available: runs every file of the
// folders or files given on the command line, then a fixed number of pseudo-random inputs
// derived from them (byte flips, truncations, splices), so that a target is exercised on
// any compiler. Deterministic: the same seed files give the same inputs.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void Run(const std::string& s) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(p, ec)) {
      std::vector<std::filesystem::path> files;
      for (auto& e : std::filesystem::directory_iterator(p, ec))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (auto& f : files) seeds.push_back(ReadAll(f));
    } else if (std::filesystem::is_regular_file(p, ec)) {
      seeds.push_back(ReadAll(p));
    }
  }
  seeds.push_back("");
  for (auto& s : seeds) Run(s);

  std::mt19937 rng(12345);
  const char* iterations_env = std::getenv("ZYL_FUZZ_ITERATIONS");
  const int iterations = iterations_env ? std::atoi(iterations_env) : 3000;
  for (int i = 0; i < iterations; ++i) {
    std::string s = seeds[rng() % seeds.size()];
    const int edits = 1 + rng() % 8;
    for (int e = 0; e < edits; ++e) {
      switch (rng() % 5) {
        case 0:
          if (!s.empty()) s[rng() % s.size()] = static_cast<char>(rng());
          break;
        case 1:
          if (!s.empty()) s.resize(rng() % s.size());
          break;
        case 2: {
          const std::string& other = seeds[rng() % seeds.size()];
          if (!other.empty()) s.insert(s.empty() ? 0 : rng() % s.size(), other.substr(rng() % other.size(), 1 + rng() % 32));
          break;
        }
        case 3:
          s.insert(s.empty() ? 0 : rng() % s.size(), 1, static_cast<char>(rng()));
          break;
        case 4:
          if (!s.empty()) s.erase(rng() % s.size(), 1 + rng() % 16);
          break;
      }
    }
    Run(s);
  }
  std::cout << "replayed " << seeds.size() << " seeds and " << iterations << " variants\n";
  return 0;
}
