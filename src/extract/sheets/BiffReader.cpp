#include "extract/sheets/BiffReader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "base/Cp1251.h"
#include "base/DateTime.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/core/Charsets.h"

namespace zyl::extract {

namespace {

// Record types, by the BIFF versions that use them.
constexpr std::uint16_t kBof2 = 0x0009, kBof3 = 0x0209, kBof4 = 0x0409, kBof58 = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kDateMode = 0x0022;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel2 = 0x0004, kLabel = 0x0204, kRString = 0x00D6;
constexpr std::uint16_t kNumber2 = 0x0003, kNumber = 0x0203, kInteger2 = 0x0002;
constexpr std::uint16_t kRk = 0x027E, kMulRk = 0x00BD;
constexpr std::uint16_t kBoolErr2 = 0x0005, kBoolErr = 0x0205;
constexpr std::uint16_t kFormula2 = 0x0006, kFormula3 = 0x0206, kFormula4 = 0x0406;
constexpr std::uint16_t kString2 = 0x0007, kString = 0x0207;
constexpr std::uint16_t kXf3 = 0x0243, kXf4 = 0x0443, kXf58 = 0x00E0;
constexpr std::uint16_t kFormat23 = 0x001E, kFormat48 = 0x041E;

constexpr std::uint16_t kSubstreamWorksheet = 0x0010;
constexpr std::uint16_t kMaxColumns = 256;

std::uint16_t U16(std::string_view d, std::size_t at) {
  if (at + 2 > d.size()) return 0;
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(d[at]) |
                                    (static_cast<std::uint8_t>(d[at + 1]) << 8));
}

std::uint32_t U32(std::string_view d, std::size_t at) {
  return static_cast<std::uint32_t>(U16(d, at)) |
         (static_cast<std::uint32_t>(U16(d, at + 2)) << 16);
}

double F64(std::string_view d, std::size_t at) {
  if (at + 8 > d.size()) return 0;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<std::uint8_t>(d[at + i]);
  return std::bit_cast<double>(bits);
}

double RkValue(std::uint32_t rk) {
  double value = 0;
  if (rk & 2) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
  }
  return (rk & 1) ? value / 100 : value;
}

void AppendUtf16Unit(std::string& out, std::uint16_t unit, std::uint16_t& pendingHigh) {
  if (pendingHigh) {
    const std::uint16_t high = pendingHigh;
    pendingHigh = 0;
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      base::AppendUtf8(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00));
      return;
    }
    base::AppendUtf8(out, 0xFFFD);
  }
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    pendingHigh = unit;
    return;
  }
  base::AppendUtf8(out, unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
}

// A record's data followed by its CONTINUE records' data. Plain fields run straight on across
// the joins; the characters of a BIFF8 string begin each continuation with a new option byte
// telling whether they go on as one or two bytes each.
class Segments {
 public:
  explicit Segments(std::vector<std::string_view> parts) : parts_(std::move(parts)) {}

  bool Byte(std::uint8_t& v) {
    if (!Settle()) return false;
    v = static_cast<std::uint8_t>(parts_[i_][o_++]);
    return true;
  }
  bool U16(std::uint16_t& v) {
    std::uint8_t a = 0, b = 0;
    if (!Byte(a) || !Byte(b)) return false;
    v = static_cast<std::uint16_t>(a | (b << 8));
    return true;
  }
  bool U32(std::uint32_t& v) {
    std::uint16_t a = 0, b = 0;
    if (!U16(a) || !U16(b)) return false;
    v = a | (static_cast<std::uint32_t>(b) << 16);
    return true;
  }
  bool Skip(std::uint64_t n) {
    while (n > 0) {
      if (!Settle()) return false;
      const std::size_t take =
          static_cast<std::size_t>(std::min<std::uint64_t>(n, parts_[i_].size() - o_));
      o_ += take;
      n -= take;
    }
    return true;
  }
  // `count` characters, as UTF-8; `wide` is the option byte's choice for the first of them.
  bool Chars(std::size_t count, bool wide, std::string& out) {
    std::uint16_t pendingHigh = 0;
    while (count > 0) {
      if (o_ >= parts_[i_].size()) {
        // The string goes on in the next record, which starts with its own option byte.
        if (++i_ >= parts_.size()) return false;
        o_ = 0;
        if (parts_[i_].empty()) return false;
        wide = (static_cast<std::uint8_t>(parts_[i_][o_++]) & 1) != 0;
        continue;
      }
      const std::string_view part = parts_[i_];
      if (wide) {
        if (o_ + 2 > part.size()) return false;
        AppendUtf16Unit(out, ::zyl::extract::U16(part, o_), pendingHigh);
        o_ += 2;
      } else {
        // One byte each: the low halves of UTF-16 units, that is Latin-1.
        base::AppendUtf8(out, static_cast<std::uint8_t>(part[o_]));
        ++o_;
      }
      --count;
    }
    if (pendingHigh) base::AppendUtf8(out, 0xFFFD);
    return true;
  }

 private:
  // Moves past finished parts; false at the end of the data.
  bool Settle() {
    while (i_ < parts_.size() && o_ >= parts_[i_].size()) {
      ++i_;
      o_ = 0;
    }
    return i_ < parts_.size();
  }
  std::vector<std::string_view> parts_;
  std::size_t i_ = 0;
  std::size_t o_ = 0;
};

// A BIFF8 string: character count (two bytes, or one for short forms), option byte, the counts
// of formatting runs and extended data, the characters, then runs and data, which are skipped.
bool ReadUnicodeString(Segments& in, bool shortCount, std::string& out) {
  std::uint16_t count = 0;
  if (shortCount) {
    std::uint8_t c = 0;
    if (!in.Byte(c)) return false;
    count = c;
  } else if (!in.U16(count)) {
    return false;
  }
  std::uint8_t options = 0;
  if (!in.Byte(options)) return false;
  std::uint16_t runs = 0;
  std::uint32_t extended = 0;
  if ((options & 0x08) && !in.U16(runs)) return false;
  if ((options & 0x04) && !in.U32(extended)) return false;
  if (!in.Chars(count, (options & 0x01) != 0, out)) return false;
  return in.Skip(std::uint64_t{runs} * 4) && in.Skip(extended);
}

// Number formats that show a date, a time of day, or both.
enum class DateKind { None, Date, Time, DateTime };

DateKind KindOfFormatCode(std::string_view code) {
  bool date = false, time = false, month = false;
  bool quoted = false, bracket = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = static_cast<char>(code[i] | 0x20);
    if (code[i] == '"') quoted = !quoted;
    if (quoted) continue;
    if (code[i] == '\\' || code[i] == '_' || code[i] == '*') {
      ++i;
      continue;
    }
    if (code[i] == '[') bracket = true;
    if (code[i] == ']') bracket = false;
    if (bracket) continue;
    if (c == 'd' || c == 'y') date = true;
    if (c == 'h' || c == 's') time = true;
    if (c == 'm') month = true;
  }
  if (month && !time) date = true;
  if (date && time) return DateKind::DateTime;
  if (date) return DateKind::Date;
  if (time) return DateKind::Time;
  return DateKind::None;
}

DateKind KindOfBuiltInFormat(std::uint16_t index) {
  if ((index >= 14 && index <= 17) || (index >= 27 && index <= 31) || index == 36 ||
      (index >= 50 && index <= 58))
    return DateKind::Date;
  if (index == 22) return DateKind::DateTime;
  if ((index >= 18 && index <= 21) || (index >= 32 && index <= 35) || (index >= 45 && index <= 47))
    return DateKind::Time;
  return DateKind::None;
}

std::string FormatSerialDate(double serial, DateKind kind, bool from1904) {
  if (!std::isfinite(serial) || serial < 0 || serial > 2958465) return FormatCellNumber(serial);
  const double whole = std::floor(serial);
  long long seconds = std::llround((serial - whole) * 86400.0);
  long long days = static_cast<long long>(whole) + (from1904 ? 1462 : 0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  base::DateTimeParts parts = base::AddDays(base::DateTimeParts{}, static_cast<int>(days));
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  char text[32];
  if (kind == DateKind::Time) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", parts.hour, parts.minute, parts.second);
  } else if (kind == DateKind::Date) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month,
                  parts.day, parts.hour, parts.minute, parts.second);
  }
  return text;
}

// The name the converters know for a workbook's code page number.
std::string CodePageName(std::uint16_t cp) {
  switch (cp) {
    case 367:
      return "US-ASCII";
    case 1200:
      return {};  // BIFF8: strings carry their own encoding
    case 10000:
    case 32768:
      return "macintosh";
    case 10007:
      return "x-mac-cyrillic";
    case 32769:
      return "windows-1252";
    default:
      return "cp" + std::to_string(cp);
  }
}

class Parser {
 public:
  explicit Parser(std::string_view stream) : stream_(stream) {}

  BiffWorkbook Run() {
    BiffWorkbook book;
    std::size_t pos = 0;
    bool first = true;
    while (pos + 4 <= stream_.size()) {
      const std::uint16_t type = U16(stream_, pos);
      const std::uint16_t length = U16(stream_, pos + 2);
      if (pos + 4 + length > stream_.size()) {
        // Writers pad streams with zero bytes; anything else cut short is damage.
        if (stream_.find_first_not_of('\0', pos) != std::string_view::npos)
          book.status = BiffStatus::Damaged;
        break;
      }
      std::vector<std::string_view> parts{stream_.substr(pos + 4, length)};
      pos += 4 + length;
      while (pos + 4 <= stream_.size() && U16(stream_, pos) == kContinue) {
        const std::uint16_t more = U16(stream_, pos + 2);
        if (pos + 4 + more > stream_.size()) break;
        parts.push_back(stream_.substr(pos + 4, more));
        pos += 4 + more;
      }
      if (first) {
        if (type != kBof2 && type != kBof3 && type != kBof4 && type != kBof58) return book;
        first = false;
        version_ = type == kBof2 ? 2 : type == kBof3 ? 3 : type == kBof4 ? 4 : 5;
        if (type == kBof58 && U16(parts[0], 0) >= 0x0600) version_ = 8;
        book.version = version_;
      }
      if (type == kFilePass) {
        book.status = BiffStatus::Encrypted;
        book.sheets.clear();
        return book;
      }
      Record(type, std::move(parts));
    }
    if (first) return book;
    if (pos < stream_.size() && stream_.find_first_not_of('\0', pos) != std::string_view::npos)
      book.status = BiffStatus::Damaged;  // a record header cut short
    if (book.status != BiffStatus::Damaged) book.status = BiffStatus::Ok;
    book.sheets = std::move(sheets_);
    return book;
  }

 private:
  void Record(std::uint16_t type, std::vector<std::string_view> parts) {
    const std::string_view d = parts[0];
    switch (type) {
      case kBof2:
      case kBof3:
      case kBof4:
      case kBof58: {
        // A worksheet opens a grid of its own; workbook globals, charts and macro sheets hold
        // no cells we keep. A BIFF2-4 file that is one sheet may leave the type out.
        const std::uint16_t kind = d.size() >= 4 ? U16(d, 2) : kSubstreamWorksheet;
        if (kind == kSubstreamWorksheet) {
          sheets_.emplace_back();
          open_.push_back(static_cast<int>(sheets_.size()) - 1);
        } else {
          open_.push_back(-1);
        }
        break;
      }
      case kEof:
        if (!open_.empty()) open_.pop_back();
        break;
      case kCodePage:
        codePage_ = CodePageName(U16(d, 0));
        break;
      case kDateMode:
        from1904_ = U16(d, 0) == 1;
        break;
      case kSst:
        ReadSst(std::move(parts));
        break;
      case kFormat23:
      case kFormat48:
        ReadFormat(type, std::move(parts));
        break;
      case kXf3:
      case kXf4:
        xfFormats_.push_back(d.size() > 1 ? static_cast<std::uint8_t>(d[1]) : 0);
        break;
      case kXf58:
        xfFormats_.push_back(U16(d, 2));
        break;
      case kLabelSst:
        if (d.size() >= 10 && U32(d, 6) < sst_.size()) Set(d, sst_[U32(d, 6)]);
        break;
      case kLabel2:
        if (d.size() >= 8) Set(d, Bytes(d.substr(8, static_cast<std::uint8_t>(d[7]))));
        break;
      case kLabel:
      case kRString:
        if (d.size() >= 8) Set(d, CellString(std::move(parts), 6));
        break;
      case kNumber2:
        if (d.size() >= 15) SetNumber(d, F64(d, 7), 0);
        break;
      case kInteger2:
        if (d.size() >= 9) SetNumber(d, U16(d, 7), 0);
        break;
      case kNumber:
        if (d.size() >= 14) SetNumber(d, F64(d, 6), U16(d, 4));
        break;
      case kRk:
        if (d.size() >= 10) SetNumber(d, RkValue(U32(d, 6)), U16(d, 4));
        break;
      case kMulRk:
        ReadMulRk(d);
        break;
      case kBoolErr2:
        if (d.size() >= 9 && d[8] == 0) Set(d, d[7] ? "TRUE" : "FALSE");
        break;
      case kBoolErr:
        if (d.size() >= 8 && d[7] == 0) Set(d, d[6] ? "TRUE" : "FALSE");
        break;
      case kFormula2:
      case kFormula3:
      case kFormula4:
        ReadFormula(type, d);
        break;
      case kString2:
        if (pending_ && !d.empty())
          Place(*pending_, Bytes(d.substr(1, static_cast<std::uint8_t>(d[0]))));
        pending_.reset();
        break;
      case kString:
        if (pending_) Place(*pending_, CellString(std::move(parts), 0));
        pending_.reset();
        break;
      default:
        break;
    }
  }

  struct CellAt {
    int sheet;
    std::uint16_t row, column;
  };

  std::optional<CellAt> Where(std::string_view d) const {
    if (open_.empty() || open_.back() < 0 || d.size() < 4) return std::nullopt;
    return CellAt{open_.back(), U16(d, 0), U16(d, 2)};
  }

  void Place(const CellAt& at, std::string text) {
    // No BIFF version has more than 256 columns; a cell past them is damage, and keeping it
    // would make the sheet's text as wide as the claim.
    if (at.column >= kMaxColumns) return;
    sheets_[static_cast<std::size_t>(at.sheet)].Set(at.row, at.column, std::move(text));
  }

  void Set(std::string_view d, std::string text) {
    if (const auto at = Where(d)) Place(*at, std::move(text));
  }

  void SetNumber(std::string_view d, double value, std::uint16_t xf) {
    const auto at = Where(d);
    if (!at) return;
    // BIFF2 keeps a cell's format in the cell itself, which is not read: numbers stay numbers.
    const DateKind kind = version_ >= 3 ? KindOfXf(xf) : DateKind::None;
    Place(*at, kind == DateKind::None ? FormatCellNumber(value)
                                      : FormatSerialDate(value, kind, from1904_));
  }

  DateKind KindOfXf(std::uint16_t xf) const {
    if (xf >= xfFormats_.size()) return DateKind::None;
    const std::uint16_t format = xfFormats_[xf];
    if (const auto it = formatCodes_.find(format); it != formatCodes_.end())
      return KindOfFormatCode(it->second);
    return KindOfBuiltInFormat(format);
  }

  // Byte strings of BIFF2-7, in the workbook's code page (the working one when none is named).
  std::string Bytes(std::string_view bytes) const {
    if (!codePage_.empty()) {
      if (auto text = RecodeCharset(bytes, codePage_)) return std::move(*text);
    }
    return base::DecodeLegacyText(bytes);
  }

  // A cell's string at `offset` of the record: a BIFF8 string, or a byte string with a two-byte
  // length before.
  std::string CellString(std::vector<std::string_view> parts, std::size_t offset) {
    if (version_ >= 8) {
      Segments in(std::move(parts));
      std::string text;
      if (!in.Skip(offset)) return {};
      ReadUnicodeString(in, false, text);
      return text;
    }
    const std::string_view d = parts[0];
    if (d.size() < offset + 2) return {};
    return Bytes(d.substr(offset + 2, U16(d, offset)));
  }

  void ReadSst(std::vector<std::string_view> parts) {
    Segments in(std::move(parts));
    std::uint32_t total = 0, unique = 0;
    if (!in.U32(total) || !in.U32(unique)) return;
    sst_.clear();
    // The count comes from the file: never reserve by it.
    for (std::uint32_t i = 0; i < unique; ++i) {
      std::string text;
      if (!ReadUnicodeString(in, false, text)) break;
      sst_.push_back(std::move(text));
    }
  }

  void ReadFormat(std::uint16_t type, std::vector<std::string_view> parts) {
    const std::string_view d = parts[0];
    std::uint16_t index = 0;
    std::string code;
    if (type == kFormat23 || version_ == 4) {
      // BIFF2-4 number their formats by their order; BIFF4 puts two unused bytes first.
      const std::size_t start = type == kFormat48 ? 2 : 0;
      index = nextFormat_++;
      if (d.size() > start)
        code = std::string(d.substr(start + 1, static_cast<std::uint8_t>(d[start])));
    } else if (version_ >= 8) {
      index = U16(d, 0);
      Segments in(std::move(parts));
      if (!in.Skip(2)) return;
      ReadUnicodeString(in, false, code);
    } else {
      index = U16(d, 0);
      if (d.size() >= 3) code = std::string(d.substr(3, static_cast<std::uint8_t>(d[2])));
    }
    formatCodes_[index] = std::move(code);
  }

  void ReadMulRk(std::string_view d) {
    if (d.size() < 6 || open_.empty() || open_.back() < 0) return;
    const std::uint16_t row = U16(d, 0);
    const std::uint16_t firstColumn = U16(d, 2);
    const std::size_t cells = (d.size() - 6) / 6;
    for (std::size_t i = 0; i < cells; ++i) {
      const std::size_t at = 4 + i * 6;
      std::string cell(4, '\0');
      const auto column = static_cast<std::uint16_t>(firstColumn + i);
      cell[0] = static_cast<char>(row & 0xFF);
      cell[1] = static_cast<char>(row >> 8);
      cell[2] = static_cast<char>(column & 0xFF);
      cell[3] = static_cast<char>(column >> 8);
      SetNumber(cell, RkValue(U32(d, at + 2)), U16(d, at));
    }
  }

  void ReadFormula(std::uint16_t type, std::string_view d) {
    // BIFF2 has three attribute bytes where later versions have a two-byte format index.
    const std::size_t result = type == kFormula2 && version_ == 2 ? 7 : 6;
    if (d.size() < result + 8) return;
    const auto at = Where(d);
    if (!at) return;
    const std::uint16_t xf = result == 6 ? U16(d, 4) : 0;
    if (U16(d, result + 6) != 0xFFFF) {
      SetNumber(d, F64(d, result), xf);
      return;
    }
    switch (static_cast<std::uint8_t>(d[result])) {
      case 0:  // a string, in the STRING record that follows
        pending_ = *at;
        break;
      case 1:
        Place(*at, d[result + 2] ? "TRUE" : "FALSE");
        break;
      default:  // an error value or an empty string
        break;
    }
  }

  std::string_view stream_;
  int version_ = 0;
  std::string codePage_;
  bool from1904_ = false;
  std::vector<std::string> sst_;
  std::vector<std::uint16_t> xfFormats_;
  std::map<std::uint16_t, std::string> formatCodes_;
  std::uint16_t nextFormat_ = 0;
  std::vector<SheetGrid> sheets_;
  std::vector<int> open_;  // the open substreams: a sheet's index, or -1
  std::optional<CellAt> pending_;
};

}  // namespace

BiffWorkbook ParseBiffStream(std::string_view stream) {
  return Parser(stream).Run();
}

}  // namespace zyl::extract
