// The library-backed office readers (wv, libgsf, shapelib, libwpd, libwps, poppler)
// on arbitrary bytes: a crash inside a library would be a crash of the program. The input is
// written to a file under extensions that lead to the libraries and read.
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "extract/office/OfficeReaders.h"
#include "extract/process/OfficeHelper.h"

namespace {

// Made once and removed at exit; kept on the heap so that it outlives the exit handler.
const std::string& WorkFolder() {
  static const std::string* const folder = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zyl-fuzz-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    auto* made = new std::string(tmpl);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(WorkFolder(), ec);
    });
    return made;
  }();
  return *folder;
}

std::string WriteInput(std::string_view bytes, std::string_view ext) {
  const std::string path = WorkFolder() + "/input." + std::string(ext);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  // Damaged documents make wv loop for ever now and then; such inputs fail after a short wait.
  static const bool limited = (SetHelperTimeLimit(std::chrono::seconds(2)), true);
  (void)limited;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Each input meets one word-processor and one spreadsheet extension, chosen by its length,
  // and the PDF reader; over a run every extension sees every kind of seed.
  static const std::string_view kWord[] = {"doc", "dot", "wri", "wps", "wpd", "rtf"};
  static const std::string_view kSheet[] = {"xls", "xlw", "dbf", "wk1", "wk3", "wk4", "wq1", "wb1"};
  GetWordInfo(WriteInput(bytes, kWord[size % std::size(kWord)]));
  GetExcelInfo(WriteInput(bytes, kSheet[(size / 7) % std::size(kSheet)]));
  GetPdfTextInfo(WriteInput(bytes, "pdf"));
  // Now and then the reader process is ended and started again (not for every empty input).
  if (size % 97 == 1) ReleaseAutomationServers();
  return 0;
}
