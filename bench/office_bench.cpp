// Throughput of the office, spreadsheet and PDF readers on one core: files per second and
// megabytes per second over the fixture files, read again and again. The readers behind the
// program's entry points (GetWordInfo, GetExcelInfo, GetPdfTextInfo) run every document in a
// fresh process; the "InProcess" variants run the same library code directly, so the
// difference is the price of that isolation. The process-based readers are timed on the wall
// clock, since their work is done by child processes.
//   ./bench/office_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <shapefil.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/Paths.h"
#include "extract/office/OfficeReaders.h"
#include "extract/office/RtfReader.h"
#include "extract/pdf/PdfReader.h"
#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderJobs.h"
#include "extract/sheets/CsvReader.h"
#include "extract/sheets/DifReader.h"

namespace {

using namespace zyl::extract;

std::string FixturePath(const std::string& name) {
  const char* root = std::getenv("ZYL_FIXTURES");
  const std::filesystem::path base =
      root ? std::filesystem::path(root)
           : std::filesystem::path(__FILE__).parent_path() / ".." / "tests" / "fixtures";
  return (base / "office" / name).string();
}

std::int64_t SizeOf(const std::string& path) {
  return static_cast<std::int64_t>(zyl::base::FileSize(path).value_or(0));
}

template <typename Read>
void ReadFileRepeatedly(benchmark::State& state, const std::string& name, Read read,
                        const char* expectedType) {
  const std::string path = FixturePath(name);
  const std::int64_t size = SizeOf(path);
  for (auto _ : state) {
    FileInfo info = read(path);
    if (info.type != expectedType) {
      state.SkipWithError(("unexpected type " + info.type).c_str());
      break;
    }
    benchmark::DoNotOptimize(info.content.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size);
  ReleaseAutomationServers();
}

void BM_Word(benchmark::State& state, std::string name, std::string type) {
  ReadFileRepeatedly(state, name, GetWordInfo, type.c_str());
}
void BM_Spreadsheet(benchmark::State& state, std::string name, std::string type) {
  ReadFileRepeatedly(state, name, GetExcelInfo, type.c_str());
}
void BM_PdfText(benchmark::State& state, std::string name) {
  ReadFileRepeatedly(state, name, GetPdfTextInfo, "pdf");
}
void BM_PdfHeaderScan(benchmark::State& state, std::string name) {
  ReadFileRepeatedly(state, name, GetPdfHeaderInfo, "pdf");
}

void BM_InProcess(benchmark::State& state, ReaderJob job, std::string name) {
  const std::string path = FixturePath(name);
  const std::int64_t size = SizeOf(path);
  for (auto _ : state) {
    std::optional<HelperDocument> doc = job(path);
    if (!doc) {
      state.SkipWithError("read failed");
      break;
    }
    benchmark::DoNotOptimize(doc->content.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size);
}

// The program's own parsers on generated documents of about 100 KB.
std::string MakeRtf() {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}{\\info{\\title T}}\\f0 ";
  while (rtf.size() < 100'000)
    rtf += "Quarterly report \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 {\\b bold} \\u1055?\\tab x\\par\r\n";
  return rtf + "}";
}
std::string MakeCsv() {
  std::string csv = "name;sum;note\r\n";
  while (csv.size() < 100'000) csv += "Tea;12,5;\"with \"\"quotes\"\" and ; inside\"\r\n";
  return csv;
}
std::string MakeDif() {
  std::string dif = "TABLE\r\n0,1\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n";
  while (dif.size() < 100'000)
    dif += "-1,0\r\nBOT\r\n1,0\r\n\"Tea\"\r\n0,12.5\r\nV\r\n0,1\r\nTRUE\r\n";
  return dif + "-1,0\r\nEOD\r\n";
}

// A dBase table of 1000 records in the Windows-1251 language, written with shapelib.
const std::string& DbfPath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() /
                           ("zyl-bench-" + std::to_string(::getpid()) + ".dbf"))
                              .string();
    DBFHandle h = DBFCreateEx(p.c_str(), "LDID/201");
    DBFAddField(h, "NAME", FTString, 30, 0);
    DBFAddField(h, "SUM", FTDouble, 12, 2);
    for (int r = 0; r < 1000; ++r) {
      DBFWriteStringAttribute(h, r, 0, "\xD7\xE0\xE9 green tea");
      DBFWriteDoubleAttribute(h, r, 1, r * 1.25);
    }
    DBFClose(h);
    std::atexit([] { std::filesystem::remove(DbfPath()); });
    return p;
  }();
  return path;
}

void BM_Dbf(benchmark::State& state) {
  const std::string& path = DbfPath();
  const std::int64_t size = SizeOf(path);
  for (auto _ : state) {
    FileInfo info = GetExcelInfo(path);
    if (info.type != "dbf") {
      state.SkipWithError("unexpected type");
      break;
    }
    benchmark::DoNotOptimize(info.content.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size);
  ReleaseAutomationServers();
}

template <typename Parse>
void ParseRepeatedly(benchmark::State& state, const std::string& bytes, Parse parse) {
  for (auto _ : state) {
    auto result = parse(bytes);
    if (!result) {
      state.SkipWithError("parse failed");
      break;
    }
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_RtfParse(benchmark::State& state) {
  ParseRepeatedly(state, MakeRtf(), ParseRtf);
}
void BM_CsvParse(benchmark::State& state) {
  ParseRepeatedly(state, MakeCsv(), ParseCsv);
}
void BM_DifParse(benchmark::State& state) {
  ParseRepeatedly(state, MakeDif(), ParseDif);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Word, doc, "sample.doc", "doc")->UseRealTime();
BENCHMARK_CAPTURE(BM_Word, wri, "sample.wri", "wri")->UseRealTime();
BENCHMARK_CAPTURE(BM_Word, wps, "sample.wps", "wps")->UseRealTime();
BENCHMARK_CAPTURE(BM_Word, wpd, "sample.wpd", "wpd")->UseRealTime();
BENCHMARK_CAPTURE(BM_Spreadsheet, xls, "sample.xls", "xls")->UseRealTime();
BENCHMARK_CAPTURE(BM_Spreadsheet, wk1, "sample.wk1", "lotus")->UseRealTime();
BENCHMARK_CAPTURE(BM_Spreadsheet, wb1, "sample.wb1", "quattro")->UseRealTime();
BENCHMARK(BM_Dbf)->UseRealTime();
BENCHMARK_CAPTURE(BM_PdfText, sample, "sample.pdf")->UseRealTime();
BENCHMARK_CAPTURE(BM_PdfText, outline, "outline.pdf")->UseRealTime();
BENCHMARK_CAPTURE(BM_PdfHeaderScan, outline, "outline.pdf");
BENCHMARK_CAPTURE(BM_InProcess, doc, WordDocumentJob, "sample.doc");
BENCHMARK_CAPTURE(BM_InProcess, xls, ExcelWorkbookJob, "sample.xls");
BENCHMARK_CAPTURE(BM_InProcess, pdf, PdfTextJob, "sample.pdf");
BENCHMARK(BM_RtfParse);
BENCHMARK(BM_CsvParse);
BENCHMARK(BM_DifParse);

BENCHMARK_MAIN();
