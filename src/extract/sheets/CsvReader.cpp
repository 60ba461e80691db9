#include "extract/sheets/CsvReader.h"

#include <string>

#include "base/Cp1251.h"

namespace zyl::extract {

char CsvSeparator(std::string_view text) {
  std::size_t commas = 0;
  std::size_t semicolons = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == '\r' || c == '\n')) {
      break;
    } else if (!quoted && c == ',') {
      ++commas;
    } else if (!quoted && c == ';') {
      ++semicolons;
    }
  }
  return semicolons > commas ? ';' : ',';
}

std::optional<SheetGrid> ParseCsv(std::string_view bytes) {
  if (bytes.empty() || bytes.find('\0') != std::string_view::npos) return std::nullopt;
  std::string decoded = base::DecodeLegacyText(bytes);
  std::string_view text = decoded;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const char sep = CsvSeparator(text);

  SheetGrid grid;
  std::size_t row = 0;
  std::size_t col = 0;
  std::string field;
  std::size_t i = 0;
  bool rowHasContent = false;
  const auto endField = [&] {
    grid.Set(row, col, std::move(field));
    field.clear();
    ++col;
    rowHasContent = true;
  };
  const auto endRow = [&] {
    if (rowHasContent) endField();
    ++row;
    col = 0;
    rowHasContent = false;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' && field.empty()) {
      // A quoted field runs to the quote that is not doubled; what follows it up to the next
      // separator is kept, as spreadsheets keep it.
      ++i;
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        field += text[i++];
      }
      if (!closed) return std::nullopt;
      rowHasContent = true;
      continue;
    }
    if (c == sep) {
      endField();
      ++i;
    } else if (c == '\r' || c == '\n') {
      endRow();
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } else {
      field += c;
      rowHasContent = true;
      ++i;
    }
  }
  endRow();
  return grid;
}

}  // namespace zyl::extract
