#include "extract/pdf/PdfReader.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <mutex>

#include "base/Cp1251.h"
#include "base/Strings.h"
#include "extract/core/OfficeText.h"

namespace zyl::extract {

namespace {

// PDF readers accept the signature anywhere in the first kilobyte (some writers put a few
// bytes of their own before it).
constexpr std::size_t kSignatureWindow = 1024;
// Writers may add a little after the end-of-file marker (line ends, padding).
constexpr std::size_t kTrailerWindow = 1024;

// The text strictly between the first "(" at or after `from` and the first ")" after it.
// `open` receives the position of that "(".
std::optional<std::string_view> BracketValue(std::string_view bytes, std::size_t from,
                                             std::size_t* open = nullptr) {
  const std::size_t o = bytes.find('(', from);
  if (o == std::string_view::npos) return std::nullopt;
  const std::size_t c = bytes.find(')', o);
  if (c == std::string_view::npos) return std::nullopt;
  if (open) *open = o;
  return bytes.substr(o + 1, c - o - 1);
}

std::string Utf8(const poppler::ustring& s) {
  const poppler::byte_array bytes = s.to_utf8();
  return std::string(bytes.begin(), bytes.end());
}

void QuietPoppler(const std::string&, void*) {}

std::mutex& PopplerMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

std::optional<PdfInfo> ScanPdfHeader(std::string_view bytes) {
  if (bytes.substr(0, kSignatureWindow).find("%PDF-") == std::string_view::npos)
    return std::nullopt;
  PdfInfo info;
  std::size_t titleFrom = 0;
  if (const std::size_t a = bytes.find("/Author"); a != std::string_view::npos) {
    std::size_t open = 0;
    const std::optional<std::string_view> author = BracketValue(bytes, a, &open);
    if (!author) return std::nullopt;
    info.author = base::DecodeLegacyText(*author);
    titleFrom = open;
  }
  if (const std::size_t t = bytes.find("/Title", titleFrom); t != std::string_view::npos) {
    const std::optional<std::string_view> title = BracketValue(bytes, t);
    if (!title) return std::nullopt;
    info.title = base::DecodeLegacyText(*title);
  }
  std::string content;
  for (std::size_t t = bytes.find("/Title"); t != std::string_view::npos;
       t = bytes.find("/Title", t + 1)) {
    const std::optional<std::string_view> value = BracketValue(bytes, t);
    if (!value) return std::nullopt;
    content += "\r\n";
    content += base::DecodeLegacyText(*value);
  }
  info.content = base::Replace(base::Replace(content, "\\(", "("), "\\)", ")");
  return info;
}

std::optional<PdfInfo> ReadPdfText(std::string_view path) {
  // poppler rebuilds the cross-reference table of a damaged file and shows what it can; a
  // file without its end-of-file marker was cut short and counts as unreadable instead.
  if (ReadFileTail(path, kTrailerWindow).find("%%EOF") == std::string::npos) return std::nullopt;
  std::lock_guard<std::mutex> lock(PopplerMutex());
  poppler::set_debug_error_function(QuietPoppler, nullptr);
  std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(std::string(path)));
  if (!doc || doc->is_locked()) return std::nullopt;
  PdfInfo info;
  const int pages = doc->pages();
  for (int i = 0; i < pages; ++i) {
    std::unique_ptr<poppler::page> page(doc->create_page(i));
    if (!page) return std::nullopt;
    std::string text = NormalizeLineBreaks(Utf8(page->text()));
    // poppler ends every page with a form feed; pages are separated by line breaks here.
    while (!text.empty() && text.back() == '\f') text.pop_back();
    if (text.empty()) continue;
    if (!info.content.empty() && info.content.back() != '\n') info.content += "\r\n";
    info.content += text;
  }
  info.author = base::DecodeLegacyText(Utf8(doc->get_author()));
  info.title = base::DecodeLegacyText(Utf8(doc->get_title()));
  return info;
}

}  // namespace zyl::extract
