#include "extract/sheets/DifReader.h"

#include <charconv>
#include <string>
#include <vector>

#include "base/Cp1251.h"
#include "base/Strings.h"

namespace zyl::extract {

namespace {

class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  // The next line without its line break; nullopt at the end of the text.
  std::optional<std::string_view> Next() {
    if (pos_ >= text_.size()) return std::nullopt;
    std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return line;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string_view TrimLine(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A string value: surrounding quotes removed, doubled quotes inside made single.
std::string Unquote(std::string_view s) {
  s = TrimLine(s);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
    s = s.substr(1, s.size() - 2);
    return base::Replace(s, "\"\"", "\"");
  }
  return std::string(s);
}

// "type,number" of a data value or of a header item.
bool ParseIndicator(std::string_view line, int& type, std::string_view& number) {
  line = TrimLine(line);
  const std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return false;
  const std::string_view t = TrimLine(line.substr(0, comma));
  const auto r = std::from_chars(t.data(), t.data() + t.size(), type);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  number = TrimLine(line.substr(comma + 1));
  return true;
}

std::string NumberText(std::string_view number) {
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  if (r.ec == std::errc() && r.ptr == number.data() + number.size()) return FormatCellNumber(value);
  return std::string(number);
}

}  // namespace

std::optional<SheetGrid> ParseDif(std::string_view bytes) {
  if (bytes.empty() || bytes.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string text = base::DecodeLegacyText(bytes);
  Lines lines(text);

  // Header: items of three lines each (topic, "vector,value", string) up to DATA.
  bool first = true;
  while (true) {
    std::optional<std::string_view> topic = lines.Next();
    if (!topic) return std::nullopt;
    const std::string name = base::AsciiLower(TrimLine(*topic));
    if (first && name != "table") return std::nullopt;
    first = false;
    std::optional<std::string_view> numbers = lines.Next();
    std::optional<std::string_view> value = lines.Next();
    if (!numbers || !value) return std::nullopt;
    int vector = 0;
    std::string_view count;
    if (!ParseIndicator(*numbers, vector, count)) return std::nullopt;
    if (name == "data") break;
  }

  SheetGrid grid;
  std::size_t row = 0;
  std::size_t col = 0;
  bool inTuple = false;
  while (true) {
    std::optional<std::string_view> indicator = lines.Next();
    std::optional<std::string_view> value = lines.Next();
    if (!indicator || !value) return std::nullopt;
    int type = 0;
    std::string_view number;
    if (!ParseIndicator(*indicator, type, number)) return std::nullopt;
    const std::string word = base::AsciiLower(TrimLine(*value));
    if (type == -1) {
      if (word == "bot") {
        if (inTuple) ++row;
        inTuple = true;
        col = 0;
      } else if (word == "eod") {
        return grid;
      } else {
        return std::nullopt;
      }
      continue;
    }
    if (!inTuple) return std::nullopt;
    if (type == 0) {
      if (word == "v") {
        grid.Set(row, col, NumberText(number));
      } else if (word == "true" || word == "false") {
        grid.Set(row, col, base::UCase(word));
      } else if (word == "na") {
        grid.Set(row, col, "#N/A");
      } else if (word == "error") {
        grid.Set(row, col, "#VALUE!");
      } else {
        return std::nullopt;
      }
    } else if (type == 1) {
      grid.Set(row, col, Unquote(*value));
    } else {
      return std::nullopt;
    }
    ++col;
  }
}

}  // namespace zyl::extract
