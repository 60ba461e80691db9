#include "extract/mail/Mail.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "base/Cp1251.h"
#include "base/FileMask.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "extract/TextLimit.h"
#include "extract/core/Charsets.h"
#include "extract/core/CodePages.h"
#include "extract/html/HtmlEntities.h"
#include "extract/html/HtmlText.h"
#include "extract/mail/MimeDecode.h"
#include "extract/mail/MimeParts.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kOutlookSeparator("\x7F\x00\x7F", 3);
// Netscape and Thunderbird write "From - date"; other mail programs "From address date". Which
// "From " lines separate is decided by IsMboxSeparatorLine.
constexpr std::string_view kNetscapeSeparator = "\nFrom ";

// Position where the line break at or after `from` begins (the CR of CR LF, or a lone LF);
// npos when the text has no further line break.
std::size_t LineBreakAt(std::string_view text, std::size_t from) {
  const std::size_t lf = text.find('\n', from);
  if (lf == std::string_view::npos) return lf;
  return (lf > from && text[lf - 1] == '\r') ? lf - 1 : lf;
}

// The text from `start` to the next line break (or the end), blanks trimmed; "" when the line
// break comes first.
std::string LineValue(std::string_view text, std::size_t start) {
  if (start > text.size()) return {};
  std::size_t end = LineBreakAt(text, start);
  if (end == std::string_view::npos) end = text.size();
  if (end <= start) return {};
  return base::Trim(text.substr(start, end - start));
}

// LineValue with the header's continuation lines (lines that begin with a blank or a tab)
// joined by one blank: long subjects, encoded words above all, are folded over several lines.
std::string HeaderValue(std::string_view text, std::size_t start) {
  std::string value = LineValue(text, start);
  std::size_t end = start <= text.size() ? LineBreakAt(text, start) : std::string_view::npos;
  while (end != std::string_view::npos) {
    std::size_t next = text.find('\n', end) + 1;
    if (next >= text.size() || (text[next] != ' ' && text[next] != '\t')) break;
    const std::string more = LineValue(text, next);
    if (!more.empty()) value += (value.empty() ? "" : " ") + more;
    end = LineBreakAt(text, next);
  }
  return value;
}

// Position of a header at the start of a line ("\nSubject:"), pointing at the header name.
std::size_t HeaderLine(std::string_view message, std::string_view name) {
  const std::string needle = "\n" + std::string(name);
  const std::size_t p = message.find(needle);
  return p == std::string_view::npos ? p : p + 1;
}

// Files of a folder (links to files included) whose names match the mask, in name order.
std::vector<std::string> MailboxFiles(const std::string& folder, std::string_view mask) {
  namespace fs = std::filesystem;
  const base::FileMask fileMask(mask);
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!fileMask.Matches(name)) continue;
    std::error_code sec;
    if (fs::is_regular_file(it->status(sec))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> paths;
  for (const auto& n : names) paths.push_back(base::JoinPath(folder, n));
  return paths;
}

std::string FileName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// A calendar date from year, month and day that may lie outside their ranges, as date
// arithmetic reads them: month 0 is December of the year before, day 0 the last day of the
// month before, day 32 of a 31-day month the first of the next.
bool DateSerial(long long year, long long month, long long day, base::DateTimeParts& out) {
  if (year < 0 || year > 9999 || month < -1200 || month > 1200 || day < -100000 || day > 100000)
    return false;
  long long m0 = month - 1;
  year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
  m0 = ((m0 % 12) + 12) % 12;
  const long long days = DaysFromCivil(year, static_cast<unsigned>(m0 + 1), 1) + day - 1;
  CivilFromDays(days, out.year, out.month, out.day);
  return out.year >= 100 && out.year <= 9999;
}

bool ParseTime(std::string_view text, base::DateTimeParts& out) {
  const auto parts = base::Split(text, ":");
  if (parts.size() < 2 || parts.size() > 3) return false;
  int values[3] = {0, 0, 0};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty() || parts[i].size() > 2 ||
        parts[i].find_first_not_of("0123456789") != std::string::npos)
      return false;
    values[i] = std::atoi(parts[i].c_str());
  }
  if (values[0] > 23 || values[1] > 59 || values[2] > 59) return false;
  out.hour = values[0];
  out.minute = values[1];
  out.second = values[2];
  return true;
}

bool IsNumber(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

std::mt19937& Random() {
  thread_local std::mt19937 rng{std::random_device{}()};
  return rng;
}

MailCounts ReadMailboxFile(std::string_view path, std::string_view prefix,
                           std::string_view separator, std::string_view mailbox,
                           bool outlookExpress, ContentSink& sink,
                           const std::function<bool(std::string_view)>& accept = nullptr) {
  MailCounts counts;
  SplitMailbox(path, prefix, separator, accept, [&](std::string_view message) {
    const FileInfo info = MailMessageInfo(message, mailbox, outlookExpress);
    if (SaveContentInfo(sink, info)) {
      ++counts.messages;
      counts.totalSize += info.filesize;
    }
  });
  return counts;
}

}  // namespace

std::string GetMailFrom(std::string_view message) {
  const std::size_t p = message.find("From:");
  if (p == std::string_view::npos) return {};
  // The value starts one character after "From:" (past the blank that follows it).
  const std::size_t start = p + 6;
  const std::size_t end = LineBreakAt(message, p + 5);
  if (end != std::string_view::npos && end < start) return {};
  return HeaderValue(message, start);
}

std::string GetMailSubject(std::string_view message) {
  const std::size_t p = HeaderLine(message, "Subject:");
  if (p == std::string_view::npos) return {};
  return HeaderValue(message, p + 8);
}

std::string MakeMessageId() {
  std::uniform_int_distribution<int> number(0, 99998);
  std::uniform_int_distribution<int> letter(0, 26);
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
  std::string n = base::StrNum(number(Random()));
  if (n.size() < 6) n.insert(0, 6 - n.size(), '0');
  n += kLetters[letter(Random())];
  n += kLetters[letter(Random())];
  return "<" + n + base::FormatModified(base::Now()) + ">";
}

std::string GetMessageId(std::string_view message) {
  const std::size_t p = message.find("Message-ID:");
  if (p != std::string_view::npos) {
    const std::size_t start = p + 12;
    const std::size_t end = LineBreakAt(message, p + 11);
    if (end == std::string_view::npos || end > start) {
      std::string id = LineValue(message, start);
      if (!id.empty()) return id;
    }
  }
  return MakeMessageId();
}

base::DateTimeParts GetMailDate(std::string_view message) {
  const base::DateTimeParts zero;
  const std::size_t p = HeaderLine(message, "Date:");
  if (p == std::string_view::npos) return zero;
  const std::string value = LineValue(message, p + 5);
  if (value.empty()) return zero;

  // Parts are separated by runs of blanks (a single-digit day is often written after two).
  std::vector<std::string> parts;
  for (auto& piece : base::Split(value, " "))
    if (!piece.empty()) parts.push_back(std::move(piece));
  // The weekday may be left out ("2 Dec 2002 10:20:30 +0300"); the rest is read the same.
  if (!parts.empty() && IsNumber(parts[0])) parts.insert(parts.begin(), std::string());
  if (parts.size() < 5 || !IsNumber(parts[1]) || !IsNumber(parts[3])) return zero;

  static constexpr const char* kMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                              "jul", "aug", "sep", "oct", "nov", "dec"};
  const std::string month = base::AsciiLower(parts[2].substr(0, 3));
  int monthNumber = 0;  // none: December of the year before, as the date arithmetic gives
  for (int i = 0; i < 12; ++i)
    if (month == kMonths[i]) monthNumber = i + 1;

  long long year = std::atoll(parts[3].substr(0, 6).c_str());
  if (parts[3].size() <= 2) year += year < 70 ? 2000 : 1900;
  const long long day = std::atoll(parts[1].substr(0, 6).c_str());

  base::DateTimeParts result;
  if (!ParseTime(parts[4], result) || !DateSerial(year, monthNumber, day, result)) return zero;
  return result;
}

std::string DecodeQuotedPrintable(std::string_view text, std::string_view charset) {
  std::string bytes = DecodeQuotedPrintableBytes(text);
  if (charset == "koi8r") {
    for (char& c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x80) c = static_cast<char>(Koi8ToWin(byte));
    }
  }
  return bytes;
}

std::string GetMailBody(std::string_view message) {
  MimeEntity whole = SplitHeaderBlock(message);
  if (whole.headers.size() == message.size()) return {};  // no empty line: no body
  // A mailbox record may carry padding after its message; no mail text holds the byte 0x7F.
  whole.body = whole.body.substr(0, whole.body.find('\x7F'));
  const auto part = FindMimeTextPart(whole);
  if (!part) return {};
  const std::string bytes = DecodeTransferEncoding(part->entity);
  const auto contentType = MimeHeaderField(part->entity.headers, "Content-Type");
  const std::string charset = contentType ? MimeParameter(*contentType, "charset") : "";
  std::string body = RecodeMailText(bytes, charset);
  if (part->html) body = DecodeHtmlEntities(HtmlTagsToText(StripCommentsAndScripts(body)));
  return body;
}

std::string RecodeMailText(std::string_view bytes, std::string_view charset) {
  // "us-ascii" is what many programs declare whatever they send; only bytes above 127 would
  // tell, and for those the guess is better than a row of replacement characters.
  const std::string name = base::AsciiLower(base::TrimView(charset));
  if (!name.empty() && name != "us-ascii" && name != "ascii") {
    if (auto text = RecodeCharset(bytes, name)) return std::move(*text);
  }
  return AutoRecode(bytes);
}

std::string ReadMailFile(std::string_view path) {
  return base::ReadFileBytes(path).value_or("");
}

bool SplitMailbox(std::string_view path, std::string_view prefix, std::string_view separator,
                  const std::function<void(std::string_view message)>& perMessage) {
  return SplitMailbox(path, prefix, separator, nullptr, perMessage);
}

bool SplitMailbox(std::string_view path, std::string_view prefix, std::string_view separator,
                  const std::function<bool(std::string_view restOfLine)>& accept,
                  const std::function<void(std::string_view message)>& perMessage) {
  if (separator.empty()) return false;
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool dropCr = !separator.empty() && separator.front() == '\n';
  std::string buffer(prefix);
  std::size_t searchFrom = 0;
  bool first = true;  // the piece before the first cut is not a message
  bool ok = true;
  const auto emit = [&](std::string_view piece, bool cut) {
    if (cut && dropCr && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    if (!first) perMessage(piece);
    first = false;
  };
  constexpr std::size_t kChunk = 256 * 1024;
  // A separator line longer than this is no separator; the bound keeps a check from waiting
  // for a line break through a whole file.
  constexpr std::size_t kMaxSeparatorLine = 1000;
  const auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
  while (true) {
    const ssize_t n = ::read(fd, chunk.get(), kChunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    const bool atEnd = n == 0;
    buffer.append(chunk.get(), static_cast<std::size_t>(n));
    std::size_t start = 0;
    std::size_t from = std::max(searchFrom, start);
    bool waiting = false;  // a candidate whose line is not read whole yet
    while (true) {
      const std::size_t cut = buffer.find(separator, from);
      if (cut == std::string::npos) break;
      if (accept) {
        const std::size_t restAt = cut + separator.size();
        std::size_t lineEnd = buffer.find('\n', restAt);
        if (lineEnd == std::string::npos) {
          if (!atEnd && buffer.size() - restAt < kMaxSeparatorLine) {
            waiting = true;
            from = cut;
            break;
          }
          lineEnd = buffer.size();
        }
        std::string_view rest(buffer.data() + restAt, lineEnd - restAt);
        if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
        if (!accept(rest)) {
          from = cut + 1;
          continue;
        }
      }
      emit(std::string_view(buffer).substr(start, cut - start), true);
      start = cut + separator.size();
      from = start;
    }
    if (atEnd) {
      // A file that could not be read whole gives no messages beyond what was read.
      emit(std::string_view(buffer).substr(start), false);
      break;
    }
    buffer.erase(0, start);
    if (waiting) {
      searchFrom = from - start;
    } else {
      // A separator may straddle the next chunk: search again from just before the end.
      // Nothing before `from` needs a second look.
      searchFrom = buffer.size() >= separator.size() ? buffer.size() - separator.size() + 1 : 0;
      searchFrom = std::max(searchFrom, from - start);
    }
    // A giant message is kept only up to the most a message is read for (MailMessageInfo cuts
    // it there): the middle of what is still unfinished, searched already, goes.
    const std::size_t keep = static_cast<std::size_t>(MaxMarkupBytes()) + 1;
    if (searchFrom > keep) {
      buffer.erase(keep, searchFrom - keep);
      searchFrom = keep;
    }
  }
  ::close(fd);
  return ok;
}

bool IsMboxSeparatorLine(std::string_view rest) {
  if (rest.starts_with("- ") || rest == "-") return true;
  // "address date": an address without blanks, then a date with a time and a year.
  const std::size_t blank = rest.find(' ');
  if (blank == 0 || blank == std::string_view::npos) return false;
  const std::string_view date = rest.substr(blank + 1);
  bool time = false;
  bool year = false;
  for (std::size_t i = 0; i < date.size(); ++i) {
    const auto digit = [&](std::size_t k) {
      return k < date.size() && date[k] >= '0' && date[k] <= '9';
    };
    const bool wordStart = i == 0 || date[i - 1] == ' ';
    if (!wordStart || !digit(i)) continue;
    if (digit(i + 1) && i + 2 < date.size() && date[i + 2] == ':' && digit(i + 3) && digit(i + 4))
      time = true;
    else if (digit(i) && i + 1 < date.size() && date[i + 1] == ':' && digit(i + 2) && digit(i + 3))
      time = true;
    else if (digit(i + 1) && digit(i + 2) && digit(i + 3) &&
             (i + 4 == date.size() || date[i + 4] == ' ') && (date[i] == '1' || date[i] == '2'))
      year = true;
  }
  return time && year;
}

FileInfo MailMessageInfo(std::string_view message, std::string_view mailbox, bool outlookExpress) {
  FileInfo info;
  // A giant message (an attachment of hundreds of MB) is read for its leading part only.
  if (message.size() > MaxMarkupBytes()) {
    message = message.substr(0, static_cast<std::size_t>(MaxMarkupBytes()));
    info.textCut = true;
  }
  info.title = DecodeEncodedWords(GetMailSubject(message));
  info.author = DecodeEncodedWords(GetMailFrom(message));
  info.modified = base::FormatModified(GetMailDate(message));
  info.content = GetMailBody(message);
  if (CutText(info.content, MaxTextBytes())) info.textCut = true;
  info.location = std::string(mailbox) + "/" + base::DecodeLegacyText(GetMessageId(message));
  info.type = outlookExpress ? "mail_oe" : "mail_moz";
  info.filesize =
      static_cast<std::int32_t>(std::min<std::size_t>(base::Len(info.content), 0x7FFFFFFF));
  return info;
}

MailCounts ReadOutlookExpressFile(std::string_view path, ContentSink& sink) {
  std::string mailbox = FileName(path);
  mailbox = mailbox.substr(0, mailbox.find('.'));  // Inbox.mbx: Inbox
  return ReadMailboxFile(path, "", kOutlookSeparator, mailbox, true, sink);
}

MailCounts ReadNetscapeFile(std::string_view path, ContentSink& sink) {
  // The line break put in front lets the file's first "From - " line cut as well, so that the
  // first message is not taken for the file's header.
  return ReadMailboxFile(path, "\r\n", kNetscapeSeparator, FileName(path), false, sink,
                         IsMboxSeparatorLine);
}

std::string OutlookExpressMailFolder(const MailOptions& options) {
  return base::Trim(options.OutlookExpressFolder);
}

MailCounts ReadOutlookExpressMail(ContentSink& sink, const MailOptions& options) {
  MailCounts total;
  const std::string folder = OutlookExpressMailFolder(options);
  if (folder.empty()) return total;
  const TextLimitScope limit(options.MaxTextBytes);
  for (const std::string& file : MailboxFiles(folder, "*.mbx")) {
    const MailCounts c = ReadOutlookExpressFile(file, sink);
    total.messages += c.messages;
    total.totalSize += c.totalSize;
  }
  return total;
}

std::vector<std::string> GetNetscapeUserDirs(const MailOptions& options) {
  std::vector<std::string> dirs(1);
  const std::string configured = base::Trim(options.NetscapeFolders);
  if (!configured.empty()) {
    for (const std::string& piece : base::Split(configured, ";")) {
      const std::string folder = base::Trim(piece);
      if (!folder.empty()) dirs.push_back(base::WithTrailingSlash(folder));
    }
    return dirs;
  }
  const char* home = std::getenv("HOME");
  if (!home || !*home) return dirs;
  namespace fs = std::filesystem;
  const auto subfolders = [](const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code sec;
      if (fs::is_directory(it->status(sec))) out.push_back(it->path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  for (const std::string& profile : subfolders(base::JoinPath(home, ".thunderbird")))
    for (const std::string& account : subfolders(base::JoinPath(profile, "Mail")))
      dirs.push_back(base::WithTrailingSlash(account));
  return dirs;
}

std::string NetscapeMailFolder(std::string_view userDir) {
  if (base::FileExists(base::JoinPath(userDir, "popstate.dat")))
    return base::WithTrailingSlash(userDir);
  const std::string mail = base::JoinPath(userDir, "Mail");
  if (base::FileExists(base::JoinPath(mail, "popstate.dat"))) return base::WithTrailingSlash(mail);
  return {};
}

MailCounts ReadNetscapeMail(ContentSink& sink, const MailOptions& options) {
  MailCounts total;
  const std::vector<std::string> users = GetNetscapeUserDirs(options);
  const TextLimitScope limit(options.MaxTextBytes);
  for (std::size_t i = 1; i < users.size(); ++i) {
    const std::string folder = NetscapeMailFolder(users[i]);
    if (folder.empty()) continue;
    for (const std::string& file : MailboxFiles(folder, "*.")) {
      const MailCounts c = ReadNetscapeFile(file, sink);
      total.messages += c.messages;
      total.totalSize += c.totalSize;
    }
  }
  return total;
}

}  // namespace zyl::extract
