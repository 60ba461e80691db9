#include "extract/mail/MimeParts.h"

#include <algorithm>
#include <vector>

#include "base/Strings.h"
#include "extract/mail/MimeDecode.h"

namespace zyl::extract {

namespace {

// Deeper nesting than this is no real mail; the limit keeps hostile input from exhausting the
// stack.
constexpr int kMaxDepth = 16;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The line starting at `pos` without its break, and where the next line starts.
std::string_view LineAt(std::string_view text, std::size_t pos, std::size_t& next) {
  std::size_t lf = text.find('\n', pos);
  if (lf == std::string_view::npos) {
    next = text.size();
    lf = text.size();
  } else {
    next = lf + 1;
  }
  std::string_view line = text.substr(pos, lf - pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Parts of a multipart body between its delimiter lines ("--" + boundary at a line start);
// the line break before a delimiter belongs to the delimiter. A missing close delimiter lets
// the last part run to the end.
std::vector<std::string_view> SplitMultipart(std::string_view body, std::string_view boundary) {
  std::vector<std::string_view> parts;
  const std::string delimiter = "--" + std::string(boundary);
  std::size_t partStart = std::string_view::npos;
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::size_t next = 0;
    const std::string_view line = LineAt(body, pos, next);
    if (line.starts_with(delimiter)) {
      if (partStart != std::string_view::npos) {
        std::size_t end = pos;
        if (end > partStart && body[end - 1] == '\n') --end;
        if (end > partStart && body[end - 1] == '\r') --end;
        parts.push_back(body.substr(partStart, end - partStart));
      }
      if (line.substr(delimiter.size()).starts_with("--")) return parts;
      partStart = next;
    }
    pos = next;
  }
  if (partStart != std::string_view::npos && partStart <= body.size())
    parts.push_back(body.substr(partStart));
  return parts;
}

// A multipart body whose header lost its boundary parameter: the first line that starts with
// "--" is taken for the first delimiter.
std::string GuessBoundary(std::string_view body) {
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::size_t next = 0;
    const std::string_view line = LineAt(body, pos, next);
    if (line.size() > 2 && line.starts_with("--")) return base::Trim(line.substr(2));
    pos = next;
  }
  return {};
}

bool IsAttachment(std::string_view headers) {
  const auto disposition = MimeHeaderField(headers, "Content-Disposition");
  return disposition && MimeMediaType(*disposition) == "attachment";
}

enum class Want { Plain, Html, PlainAttachment };

std::optional<MimeTextPart> Find(const MimeEntity& entity, Want want, int depth) {
  const auto contentType = MimeHeaderField(entity.headers, "Content-Type");
  const std::string type = contentType ? MimeMediaType(*contentType) : "";
  if (type.starts_with("multipart/")) {
    if (depth >= kMaxDepth) return std::nullopt;
    std::string boundary = MimeParameter(*contentType, "boundary");
    if (boundary.empty()) boundary = GuessBoundary(entity.body);
    // Nothing to cut at: the body is read as one part with headers of its own.
    if (boundary.empty()) return Find(SplitHeaderBlock(entity.body), want, depth + 1);
    for (const std::string_view part : SplitMultipart(entity.body, boundary)) {
      if (auto found = Find(SplitHeaderBlock(part), want, depth + 1)) return found;
    }
    return std::nullopt;
  }
  // No Content-Type (or an empty one) is plain text.
  const bool plain = type.empty() || type == "text/plain";
  const bool attachment = IsAttachment(entity.headers);
  switch (want) {
    case Want::Plain:
      if (plain && !attachment) return MimeTextPart{entity, false};
      break;
    case Want::Html:
      if (type == "text/html" && !attachment) return MimeTextPart{entity, true};
      break;
    case Want::PlainAttachment:
      if (plain) return MimeTextPart{entity, false};
      break;
  }
  return std::nullopt;
}

}  // namespace

MimeEntity SplitHeaderBlock(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t next = 0;
    const std::string_view line = LineAt(text, pos, next);
    if (line.empty() && next > pos) return {text.substr(0, pos), text.substr(next)};
    pos = next;
  }
  return {text, {}};
}

std::optional<std::string> MimeHeaderField(std::string_view headers, std::string_view name) {
  const std::string needle = std::string(name) + ":";
  const std::size_t firstLineEnd = std::min(headers.find('\n'), headers.size());
  for (std::size_t at = base::FindAsciiNoCase(headers, needle); at != std::string_view::npos;
       at = base::FindAsciiNoCase(headers, needle, at + 1)) {
    const bool lineStart = at == 0 || headers[at - 1] == '\n';
    const bool afterRecordBytes =
        at > 0 && at < firstLineEnd && static_cast<unsigned char>(headers[at - 1]) < 0x20;
    if (!lineStart && !afterRecordBytes) continue;
    // The value with its continuation lines (lines that begin with a blank or a tab).
    std::string value;
    std::size_t pos = at + needle.size();
    while (true) {
      std::size_t next = 0;
      const std::string_view line = LineAt(headers, pos, next);
      value += line;
      if (next >= headers.size() || !IsBlank(headers[next])) break;
      value += ' ';
      pos = next;
    }
    return base::Trim(value);
  }
  return std::nullopt;
}

std::string MimeMediaType(std::string_view contentType) {
  return base::AsciiLower(base::TrimView(contentType.substr(0, contentType.find(';'))));
}

std::string MimeParameter(std::string_view fieldValue, std::string_view name) {
  std::size_t pos = fieldValue.find(';');
  while (pos != std::string_view::npos && pos < fieldValue.size()) {
    ++pos;
    while (pos < fieldValue.size() &&
           (IsBlank(fieldValue[pos]) || fieldValue[pos] == '\r' || fieldValue[pos] == '\n'))
      ++pos;
    const std::size_t eq = fieldValue.find('=', pos);
    if (eq == std::string_view::npos) return {};
    const std::string_view key = base::TrimView(fieldValue.substr(pos, eq - pos));
    std::size_t v = eq + 1;
    while (v < fieldValue.size() && IsBlank(fieldValue[v])) ++v;
    std::string value;
    std::size_t end = v;
    if (v < fieldValue.size() && fieldValue[v] == '"') {
      end = v + 1;
      while (end < fieldValue.size() && fieldValue[end] != '"') {
        if (fieldValue[end] == '\\' && end + 1 < fieldValue.size()) ++end;
        value += fieldValue[end++];
      }
      end = fieldValue.find(';', end);
    } else {
      end = fieldValue.find(';', v);
      value = base::Trim(fieldValue.substr(v, end == std::string_view::npos ? end : end - v));
    }
    if (base::EqualsNoCase(key, name)) return value;
    pos = end;
  }
  return {};
}

std::optional<MimeTextPart> FindMimeTextPart(const MimeEntity& message) {
  for (const Want want : {Want::Plain, Want::Html, Want::PlainAttachment}) {
    if (auto found = Find(message, want, 0)) return found;
  }
  return std::nullopt;
}

std::string DecodeTransferEncoding(const MimeEntity& part) {
  const auto encoding = MimeHeaderField(part.headers, "Content-Transfer-Encoding");
  const std::string name = encoding ? base::AsciiLower(*encoding) : "";
  if (name == "base64") return DecodeBase64(part.body);
  if (name == "quoted-printable") return DecodeQuotedPrintableBytes(part.body);
  return std::string(part.body);
}

}  // namespace zyl::extract
