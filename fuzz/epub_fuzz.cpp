// EPUB reader. Input that begins like a zip is read as the book itself. Any other input is cut
// at lines "----" into the container document, the package document, a chapter and an
// encryption document, which are zipped under their usual names: mutations then reach the XML
// handling rather than dying in the zip's checksums. Nothing may crash or hang, and a row is
// valid UTF-8 within the text bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "../tests/support/ZipWriter.h"
#include "FuzzFolder.h"
#include "base/Utf8.h"
#include "extract/TextLimit.h"
#include "extract/books/EpubReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const TextLimitScope limit(4096);  // small, so that the cuts are exercised too
  static const std::string path = zyl::fuzz::FuzzFolder("epub") + "/book.epub";
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.starts_with("PK")) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  } else {
    static const char* const kNames[] = {"META-INF/container.xml", "OEBPS/content.opf",
                                         "OEBPS/ch1.xhtml", "META-INF/encryption.xml"};
    std::vector<std::pair<std::string, std::string>> members;
    std::size_t start = 0;
    for (const char* name : kNames) {
      if (start > input.size()) break;
      const std::size_t cut = input.find("\n----\n", start);
      const std::size_t end = cut == std::string_view::npos ? input.size() : cut;
      members.emplace_back(name, std::string(input.substr(start, end - start)));
      start = cut == std::string_view::npos ? input.size() + 1 : cut + 6;
    }
    zyl::test::WriteZip(path, members);
  }
  const FileInfo info = GetEpubInfo(path);
  if (info.failed()) return 0;
  if (info.type != "epub") std::abort();
  if (!zyl::base::IsValidUtf8(info.content) || !zyl::base::IsValidUtf8(info.title) ||
      !zyl::base::IsValidUtf8(info.author))
    std::abort();
  if (info.content.size() > MaxTextBytes()) std::abort();
  return 0;
}
