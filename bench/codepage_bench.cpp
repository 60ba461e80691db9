// Accuracy and speed of the code-page detector on real prose, against the byte-count heuristic
// the program used before and, when built with it (libuchardet-dev installed), the uchardet
// library.
//
// Prose: bench/codepage_corpus.py FOLDER writes ru_test.txt and en_test.txt from the Debian
// packages fortunes-ru, manpages-ru and fortunes-min (the halves the detector's model was not
// learnt from). Run: build/bench/codepage_bench FOLDER [SAMPLES_PER_CELL [v]]
// (v: also list the wrong verdicts, and the misread Russian samples of 100 bytes and more).
//
// With --files FOLDER instead, it times the text reader's decoding of every file below FOLDER
// with detection (AutoRecode) and without (the legacy rule), and DetectCodePage alone, to set
// against a build's time.
//
// For every encoding and sample size (30 ... 3000 bytes) the benchmark cuts samples at random
// character positions of the prose (a Russian sample has a Cyrillic letter in its first third),
// encodes them, cuts the bytes to the size, and asks each detector. A verdict is right when the
// sample decodes in the verdict's encoding to exactly the text it decodes to in the true one:
// Windows-1251 text whose only letters above 127 are lower-case letters other than я reads the
// same in MacCyrillic, and calling it either is no misreading. Characters an encoding lacks
// (« » — in KOI8-R) are written as their ASCII stand-ins, as such files have them.
#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Cp1251.h"
#include "base/Utf8.h"
#include "extract/core/CodePages.h"

#ifdef ZYL_HAVE_UCHARDET
#include <uchardet/uchardet.h>
#endif

using namespace zyl;

namespace {

// ------------------------------------------------------------------------------------------
// The heuristic the program shipped before the frequency model: UTF-8 first, then byte counts.

// UTF-8 with a multi-byte sequence, allowing the sample's cut to split the last sequence.
bool OldLooksLikeUtf8(std::string_view s) {
  if (base::LooksLikeUtf8(s)) return true;
  for (std::size_t back = 1; back <= 3 && back <= s.size(); ++back) {
    const auto b = static_cast<unsigned char>(s[s.size() - back]);
    if ((b & 0xC0) == 0x80) continue;
    const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > back && base::LooksLikeUtf8(s.substr(0, s.size() - back));
  }
  return false;
}

std::string OldDetect(std::string_view s) {
  if (OldLooksLikeUtf8(s)) return "UTF-8";
  if (s.size() >= 8 && static_cast<unsigned char>(s[0]) == 0xFF &&
      static_cast<unsigned char>(s[1]) == 0xFE && s[3] == s[5] && s[5] == s[7])
    return "UTF-16LE";
  std::array<std::size_t, 256> c{};
  for (const char ch : s) ++c[static_cast<unsigned char>(ch)];
  if (!(c[142] < 2 && c[143] < 2 && c[128] < 2 && c[142] + c[143] + c[128] + c[146] < 3))
    return "ibm-866";
  if (c[176] > 1 || c[190] > 1 || c[184] > 1 || c[176] + c[190] + c[184] + c[187] + c[191] >= 3)
    return "ISO-8859-5";
  if (2 * c[225] < c[193] || 2 * c[244] < c[212]) return "KOI8-R";
  if (c[204] <= 2 * c[236] && c[196] <= 2 * c[228]) return "windows-1251";
  return "KOI8-R";
}

std::string NewDetect(std::string_view s) {
  switch (extract::DetectCodePage(s)) {
    case extract::CodePage::Utf8:
      return "UTF-8";
    case extract::CodePage::Unicode:
      return "UTF-16LE";
    case extract::CodePage::UnicodeBe:
      return "UTF-16BE";
    case extract::CodePage::Dos:
      return "ibm-866";
    case extract::CodePage::Iso:
      return "ISO-8859-5";
    case extract::CodePage::Koi:
      return "KOI8-R";
    case extract::CodePage::Mac:
      return "x-mac-cyrillic";
    case extract::CodePage::Win:
      break;
  }
  return "windows-1251";
}

#ifdef ZYL_HAVE_UCHARDET
std::string UchardetDetect(std::string_view s) {
  uchardet_t ud = uchardet_new();
  uchardet_handle_data(ud, s.data(), s.size());
  uchardet_data_end(ud);
  std::string name = uchardet_get_charset(ud);
  uchardet_delete(ud);
  // No answer and plain ASCII leave the program's default.
  if (name.empty() || name == "ASCII") return "windows-1251";
  if (name == "UTF-16") return s.starts_with("\xFE\xFF") ? "UTF-16BE" : "UTF-16LE";
  return name;
}
#endif

// ------------------------------------------------------------------------------------------
// Encoding and decoding with ICU.

std::u16string Decode(std::string_view bytes, const std::string& codePage) {
  UErrorCode err = U_ZERO_ERROR;
  UConverter* conv = ucnv_open(codePage.c_str(), &err);
  if (U_FAILURE(err)) {
    err = U_ZERO_ERROR;
    conv = ucnv_open("windows-1251", &err);  // a name ICU does not know: the default
  }
  std::u16string out(bytes.size() * 2 + 4, u'\0');
  const int32_t n = ucnv_toUChars(conv, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                  static_cast<int32_t>(bytes.size()), &err);
  ucnv_close(conv);
  out.resize(U_SUCCESS(err) ? n : 0);
  return out;
}

// Code point to byte of a single-byte code page, with ASCII stand-ins for what it lacks.
class SingleByteEncoder {
 public:
  explicit SingleByteEncoder(const std::string& codePage) {
    for (int b = 0x80; b < 0x100; ++b) {
      const char byte = static_cast<char>(b);
      const std::u16string u = Decode(std::string_view(&byte, 1), codePage);
      if (u.size() == 1 && u[0] != 0xFFFD && u[0] != 0x1A) map_.emplace(u[0], byte);
    }
  }
  void Append(std::string& out, char32_t cp) const {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      return;
    }
    if (const auto it = map_.find(cp); it != map_.end()) {
      out.push_back(it->second);
      return;
    }
    switch (cp) {
      case U'«':
      case U'»':
      case U'“':
      case U'”':
      case U'„':
        out += '"';
        return;
      case U'‘':
      case U'’':
      case U'‚':
        out += '\'';
        return;
      case U'—':
      case U'–':
        out += '-';
        return;
      case U'…':
        out += "...";
        return;
      case 0xA0:
        out += ' ';
        return;
      case U'№':
        out += 'N';
        return;
      case U'ё':
        Append(out, U'е');
        return;
      case U'Ё':
        Append(out, U'Е');
        return;
      default:
        out += '?';
    }
  }

 private:
  std::map<char32_t, char> map_;
};

struct Encoding {
  std::string label;
  std::string icuName;  // the truth the verdict is compared with
  std::string mark;     // byte-order mark written before the text
  int kind;             // 0 single byte, 1 UTF-8, 2 UTF-16LE, 3 UTF-16BE
};

void AppendUtf16(std::string& out, char32_t cp, bool bigEndian) {
  auto unit = [&](char16_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (bigEndian) {
      out += hi;
      out += lo;
    } else {
      out += lo;
      out += hi;
    }
  };
  if (cp >= 0x10000) {
    cp -= 0x10000;
    unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
    unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    unit(static_cast<char16_t>(cp));
  }
}

std::string Encode(const std::u32string& text, std::size_t from, std::size_t size,
                   const Encoding& enc, const SingleByteEncoder* single) {
  std::string out = enc.mark;
  for (std::size_t i = from; i < text.size() && out.size() < size; ++i) {
    switch (enc.kind) {
      case 0:
        single->Append(out, text[i]);
        break;
      case 1:
        base::AppendUtf8(out, text[i]);
        break;
      default:
        AppendUtf16(out, text[i], enc.kind == 3);
    }
  }
  if (out.size() > size) out.resize(size);
  return out;
}

std::u32string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string bytes = ss.str();
  std::u32string text;
  for (std::size_t pos = 0; pos < bytes.size();) text.push_back(base::DecodeUtf8At(bytes, pos));
  return text;
}

bool IsCyrillic(char32_t c) {
  return c >= 0x400 && c <= 0x4FF;
}

struct Detector {
  const char* name;
  std::string (*detect)(std::string_view);
};

struct Cell {
  std::size_t right = 0, total = 0;
  std::map<std::string, std::size_t> wrong;  // wrong verdicts and how often each came
};

// Decoding time of every file below `folder`, with and without detection.
int TimeFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    files.push_back(ss.str());
  }
  std::size_t bytes = 0, sink = 0;
  for (const std::string& f : files) bytes += f.size();
  double seconds[2] = {0, 0};
  for (int round = 0; round < 3; ++round) {
    for (int detect = 0; detect < 2; ++detect) {
      const auto t0 = std::chrono::steady_clock::now();
      for (const std::string& f : files)
        sink += (detect ? extract::AutoRecode(f) : base::DecodeLegacyText(f)).size();
      seconds[detect] +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
  }
  // The verdicts alone, on the sample AutoRecode takes.
  const auto t0 = std::chrono::steady_clock::now();
  for (int round = 0; round < 3; ++round)
    for (const std::string& f : files)
      sink +=
          static_cast<std::size_t>(extract::DetectCodePage(std::string_view(f).substr(0, 3000)));
  const double detectOnly =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 3;
  std::printf("%zu files, %.1f MB (checksum %zu)\n", files.size(), bytes / 1e6, sink % 10);
  std::printf("DetectCodePage alone: %.3f s per pass, %.1f us per file\n", detectOnly,
              detectOnly / files.size() * 1e6);
  std::printf("without detection: %.3f s per pass\n", seconds[0] / 3);
  std::printf("with detection:    %.3f s per pass\n", seconds[1] / 3);
  std::printf("detection costs:   %.3f s, %.1f us per file\n", (seconds[1] - seconds[0]) / 3,
              (seconds[1] - seconds[0]) / 3 / files.size() * 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--files") return TimeFiles(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: codepage_bench CORPUS_FOLDER [SAMPLES_PER_CELL]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int perCell = argc > 2 ? std::atoi(argv[2]) : 2000;
  const bool verbose = argc > 3;
  const std::u32string ru = ReadText(folder + "/ru_test.txt");
  const std::u32string en = ReadText(folder + "/en_test.txt");
  if (ru.size() < 10000 || en.size() < 10000) {
    std::fprintf(stderr, "corpus too small; run bench/codepage_corpus.py %s\n", folder.c_str());
    return 1;
  }

  const std::vector<Encoding> encodings = {
      {"UTF-8", "UTF-8", "", 1},           {"UTF-16LE+BOM", "UTF-16LE", "\xFF\xFE", 2},
      {"UTF-16LE", "UTF-16LE", "", 2},     {"UTF-16BE+BOM", "UTF-16BE", "\xFE\xFF", 3},
      {"UTF-16BE", "UTF-16BE", "", 3},     {"Windows-1251", "windows-1251", "", 0},
      {"KOI8-R", "KOI8-R", "", 0},         {"CP866", "ibm-866", "", 0},
      {"ISO-8859-5", "ISO-8859-5", "", 0}, {"MacCyrillic", "x-mac-cyrillic", "", 0},
  };
  const std::vector<std::size_t> sizes = {30, 100, 300, 1000, 3000};
  std::vector<Detector> detectors = {{"new", NewDetect}, {"old", OldDetect}};
#ifdef ZYL_HAVE_UCHARDET
  detectors.push_back({"uchardet", UchardetDetect});
#endif

  // results[detector][language][encoding][size]
  std::vector<std::array<std::vector<std::vector<Cell>>, 2>> results(detectors.size());
  for (auto& byLanguage : results)
    for (auto& byEncoding : byLanguage)
      byEncoding.assign(encodings.size(), std::vector<Cell>(sizes.size()));
  std::vector<double> seconds(detectors.size());
  std::vector<std::size_t> bytesSeen(detectors.size());
  // Windows-1251 Russian samples holding ё, « or », which the old rule took for ISO-8859-5.
  std::vector<Cell> yoQuotes(detectors.size());

  std::mt19937 rng(12345);
  for (std::size_t e = 0; e < encodings.size(); ++e) {
    const Encoding& enc = encodings[e];
    std::unique_ptr<SingleByteEncoder> single;
    if (enc.kind == 0) single = std::make_unique<SingleByteEncoder>(enc.icuName);
    for (int language = 0; language < 2; ++language) {
      const std::u32string& text = language == 0 ? ru : en;
      std::uniform_int_distribution<std::size_t> start(0, text.size() - 4000);
      for (std::size_t z = 0; z < sizes.size(); ++z) {
        const int samples = language == 0 ? perCell : perCell / 4;
        for (int n = 0; n < samples; ++n) {
          std::size_t from = start(rng);
          if (language == 0)
            while (from < text.size() &&
                   !std::any_of(text.begin() + from,
                                text.begin() + std::min(text.size(), from + sizes[z] / 3),
                                IsCyrillic))
              from = start(rng);
          const std::string sample = Encode(text, from, sizes[z], enc, single.get());
          const std::u16string truth = Decode(sample, enc.icuName);
          const bool yo = language == 0 && enc.icuName == "windows-1251" &&
                          sample.find_first_of("\xB8\xA8\xAB\xBB") != std::string::npos;
          for (std::size_t d = 0; d < detectors.size(); ++d) {
            const auto t0 = std::chrono::steady_clock::now();
            const std::string verdict = detectors[d].detect(sample);
            seconds[d] +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            bytesSeen[d] += sample.size();
            const bool right = verdict == enc.icuName || Decode(sample, verdict) == truth;
            Cell& cell = results[d][language][e][z];
            cell.right += right;
            ++cell.total;
            if (!right) ++cell.wrong[verdict];
            if (!right && verbose && d == 0 && sizes[z] >= 100) {
              std::string shown;
              for (const char16_t u : truth)
                if (u >= 0x80)
                  base::AppendUtf8(shown, u);
                else
                  shown += u == '\n' ? ' ' : static_cast<char>(u);
              // Only the non-ASCII part: that is what decided.
              const std::size_t first = shown.find_first_of("\xD0\xD1\xC2\xE2");
              if (first != std::string::npos)
                shown = shown.substr(first >= 40 ? first - 40 : 0, 200);
              std::printf("[%s %zu -> %s] %s\n", enc.label.c_str(), sizes[z], verdict.c_str(),
                          shown.c_str());
            }
            if (yo) {
              yoQuotes[d].right += right;
              ++yoQuotes[d].total;
            }
          }
        }
      }
    }
  }

  for (std::size_t d = 0; d < detectors.size(); ++d) {
    for (int language = 0; language < 2; ++language) {
      std::printf("\n%s detector, %s prose (%% right; samples per cell: %d)\n", detectors[d].name,
                  language == 0 ? "Russian" : "English", language == 0 ? perCell : perCell / 4);
      std::printf("%-14s", "encoding");
      for (const std::size_t s : sizes) std::printf("%9zu", s);
      std::printf("\n");
      std::array<Cell, 5> all{};
      for (std::size_t e = 0; e < encodings.size(); ++e) {
        std::printf("%-14s", encodings[e].label.c_str());
        for (std::size_t z = 0; z < sizes.size(); ++z) {
          const Cell& c = results[d][language][e][z];
          all[z].right += c.right;
          all[z].total += c.total;
          std::printf("%9.2f", 100.0 * c.right / c.total);
        }
        std::printf("\n");
      }
      std::printf("%-14s", "all");
      for (const Cell& c : all) std::printf("%9.2f", 100.0 * c.right / c.total);
      std::printf("\n");
      if (!verbose) continue;
      for (std::size_t e = 0; e < encodings.size(); ++e) {
        std::map<std::string, std::size_t> wrong;
        for (const Cell& c : results[d][language][e])
          for (const auto& [verdict, n] : c.wrong) wrong[verdict] += n;
        if (wrong.empty()) continue;
        std::printf("  %s misread as:", encodings[e].label.c_str());
        for (const auto& [verdict, n] : wrong) std::printf(" %s %zu", verdict.c_str(), n);
        std::printf("\n");
      }
    }
    std::printf("%s: Windows-1251 Russian samples with ё or « »: %zu of %zu right\n",
                detectors[d].name, yoQuotes[d].right, yoQuotes[d].total);
    std::printf("%s: %.1f MB/s (%.2f us per 3000-byte sample)\n", detectors[d].name,
                bytesSeen[d] / seconds[d] / 1e6, 3000.0 / (bytesSeen[d] / seconds[d]) * 1e6);
  }
  return 0;
}
