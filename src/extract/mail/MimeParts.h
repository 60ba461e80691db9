// The structure of a mail message: its header fields, the parameters of a Content-Type, and the
// walk through (nested) multipart bodies to the part that holds the message's text. Works on
// raw bytes and views into them; never throws.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

// A message or one part of a multipart body: its header block and its body, both views into
// the text they were cut from.
struct MimeEntity {
  std::string_view headers;
  std::string_view body;
};

// Cuts at the first empty line (LF or CR LF breaks); the body starts after it. A text without
// an empty line is all headers and has no body.
MimeEntity SplitHeaderBlock(std::string_view text);

// The value of the first header field `name` (letter case ignored), unfolded (continuation lines
// joined) and blank-trimmed; nullopt when there is none. A field counts at the start of the block
// or of a line, and also after control bytes on the first line, where a mailbox's record header
// may run into the message.
std::optional<std::string> MimeHeaderField(std::string_view headers, std::string_view name);

// The media type of a Content-Type value, lower-case ("text/plain"); "" for an empty value.
std::string MimeMediaType(std::string_view contentType);
// The parameter `name` (letter case ignored) of a Content-Type or Content-Disposition value,
// quotes removed; "" when missing.
std::string MimeParameter(std::string_view fieldValue, std::string_view name);

// The part that holds a message's text: the first text/plain part that is not an attachment,
// searched depth first through every nested multipart; else the first such text/html part; else
// the first text/plain attachment. A message or part without Content-Type is text/plain.
// `html` tells which kind was found. nullopt when the message has no text part.
struct MimeTextPart {
  MimeEntity entity;
  bool html = false;
};
std::optional<MimeTextPart> FindMimeTextPart(const MimeEntity& message);

// The part's body with its transfer encoding (base64, quoted-printable) undone, as bytes.
std::string DecodeTransferEncoding(const MimeEntity& part);

}  // namespace zyl::extract
