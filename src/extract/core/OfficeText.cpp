#include "extract/core/OfficeText.h"

#include <unicode/ucnv.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/Cp1251.h"

namespace zyl::extract {

namespace {

// ICU names of the code pages that documents name by Windows number. Numbers not listed are
// tried as "windows-N", "ibm-N" and "cpN", which covers the DOS and other Windows pages.
const char* KnownCodePageName(int codePage) {
  switch (codePage) {
    case 20866:
      return "koi8-r";
    case 21866:
      return "koi8-u";
    case 28591:
      return "iso-8859-1";
    case 28595:
      return "iso-8859-5";
    case 10000:
      return "macintosh";
    case 10007:
      return "x-mac-cyrillic";
    case 65001:
      return "utf-8";
    case 1200:
      return "utf-16le";
    default:
      return nullptr;
  }
}

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(int codePage) {
  std::vector<std::string> names;
  if (const char* known = KnownCodePageName(codePage)) names.emplace_back(known);
  names.push_back("windows-" + std::to_string(codePage));
  names.push_back("ibm-" + std::to_string(codePage));
  names.push_back("cp" + std::to_string(codePage));
  for (const std::string& name : names) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open(name.c_str(), &status));
    if (U_SUCCESS(status) && status != U_USING_DEFAULT_WARNING && conv) return conv;
  }
  return nullptr;
}

// Whether ICU has a converter for a number is asked once per number and remembered; the
// converters themselves are opened per call because they keep state between calls.
std::mutex gKnownMutex;
std::unordered_map<int, bool> gKnown;

bool CodePageAvailable(int codePage) {
  std::lock_guard<std::mutex> lock(gKnownMutex);
  auto it = gKnown.find(codePage);
  if (it != gKnown.end()) return it->second;
  const bool ok = codePage > 0 && OpenConverter(codePage) != nullptr;
  gKnown.emplace(codePage, ok);
  return ok;
}

void AppendCell(std::string& out, const std::string& text) {
  // A cell that holds a line break, a TAB or a quote is written quoted with its quotes
  // doubled, as spreadsheets put such cells on the clipboard, so rows stay recognisable.
  if (text.find_first_of("\t\r\n\"") == std::string::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

bool HaveCodePage(int codePage) {
  return CodePageAvailable(codePage);
}

void ForgetCodePages() {
  std::lock_guard<std::mutex> lock(gKnownMutex);
  gKnown.clear();
}

std::string DecodeCodePage(std::string_view bytes, int codePage) {
  if (bytes.empty()) return {};
  if (codePage == 1251) return base::Cp1251ToUtf8(bytes);
  ConverterPtr conv = CodePageAvailable(codePage) ? OpenConverter(codePage) : nullptr;
  if (!conv) return base::DecodeLegacyText(bytes);
  UErrorCode status = U_ZERO_ERROR;
  // UTF-8 takes at most 3 bytes for each UTF-16 unit a single input byte can give.
  std::string out(bytes.size() * 3 + 4, '\0');
  UConverter* utf8 = ucnv_open("utf-8", &status);
  if (U_FAILURE(status)) return base::DecodeLegacyText(bytes);
  ConverterPtr utf8Owner(utf8);
  char* target = out.data();
  const char* source = bytes.data();
  ucnv_convertEx(utf8, conv.get(), &target, out.data() + out.size(), &source,
                 bytes.data() + bytes.size(), nullptr, nullptr, nullptr, nullptr, true, true,
                 &status);
  if (U_FAILURE(status)) return base::DecodeLegacyText(bytes);
  out.resize(static_cast<std::size_t>(target - out.data()));
  return out;
}

void SheetGrid::Set(std::size_t row, std::size_t column, std::string text) {
  if (text.empty()) {
    cells_.erase({row, column});
  } else {
    cells_[{row, column}] = std::move(text);
  }
}

// The used range is written the way a spreadsheet puts a copied range on the clipboard as
// plain text: every row of the range, its cells separated by TABs (an empty cell gives an
// empty field, so every row has the same number of TABs, trailing ones included), and every
// row ended by CR LF, the last one too. The range is the bounding box of the cells that hold
// something, so leading empty rows and columns of a sheet are not part of it.
std::string SheetGrid::UsedRangeText() const {
  if (cells_.empty()) return {};
  std::size_t firstRow = cells_.begin()->first.first;
  std::size_t lastRow = cells_.rbegin()->first.first;
  std::size_t firstCol = cells_.begin()->first.second;
  std::size_t lastCol = firstCol;
  for (const auto& [pos, text] : cells_) {
    firstCol = std::min(firstCol, pos.second);
    lastCol = std::max(lastCol, pos.second);
  }
  std::string out;
  auto it = cells_.begin();
  for (std::size_t row = firstRow; row <= lastRow; ++row) {
    std::size_t col = firstCol;
    while (it != cells_.end() && it->first.first == row) {
      for (; col < it->first.second; ++col) out += '\t';
      AppendCell(out, it->second);
      ++it;
    }
    for (; col < lastCol; ++col) out += '\t';
    out += "\r\n";
  }
  return out;
}

std::string WorkbookContent(const std::vector<SheetGrid>& sheets) {
  std::string content;
  for (const SheetGrid& sheet : sheets) {
    std::string text = sheet.UsedRangeText();
    if (text.empty()) continue;
    content += ' ';
    content += text;
  }
  return content;
}

std::string FormatCellNumber(double value) {
  if (std::isnan(value)) return "#NUM!";
  if (std::isinf(value)) return value > 0 ? "#NUM!" : "-#NUM!";
  if (value == 0) return "0";
  char buf[64];
  std::to_chars_result r;
  if (std::fabs(value) < 1e15 && value == std::floor(value)) {
    r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
  } else {
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  }
  return std::string(buf, r.ptr);
}

std::string ReadFileHead(std::string_view path, std::size_t count) {
  std::ifstream in{std::string(path), std::ios::binary};
  std::string bytes(count, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return bytes;
}

std::string ReadFileTail(std::string_view path, std::size_t count) {
  std::ifstream in{std::string(path), std::ios::binary | std::ios::ate};
  if (!in) return {};
  const std::streamoff size = in.tellg();
  const std::streamoff start =
      std::max<std::streamoff>(0, size - static_cast<std::streamoff>(count));
  in.seekg(start);
  std::string bytes(static_cast<std::size_t>(size - start), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return bytes;
}

std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace zyl::extract
