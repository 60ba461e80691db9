// The local mail of two mail programs: Outlook Express stores (*.mbx files in one folder) and
// Netscape/Thunderbird mailbox files (mbox files without an extension). Every message becomes
// one row: subject, sender, date, the first text part, and the location mailbox + "/" + id.
//
// The readers work on the raw bytes of the mailbox; the header readers below return bytes as
// found, and the rows get UTF-8 text with encoded words decoded; the body decoder gives UTF-8.
// Wherever the rules speak of a line break, LF alone counts as well as CR LF (mailboxes written
// here end lines with LF).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "catalog/ContentStore.h"
#include "extract/ExtractOptions.h"
#include "extract/FileInfo.h"

namespace zyl::extract {

// Mailbox readers store their messages straight into the index store's row sink.
using catalog::ContentSink;
using catalog::ContentSinkError;
using catalog::SaveContentInfo;

struct MailCounts {
  std::int64_t messages = 0;   // rows stored
  std::int64_t totalSize = 0;  // sum of their filesize values
};

// Every message of every *.mbx file of the configured Outlook Express folder, type "mail_oe".
MailCounts ReadOutlookExpressMail(ContentSink& sink, const MailOptions& options);
// Every message of every mailbox file of the Netscape user folders that hold popstate.dat,
// type "mail_moz".
MailCounts ReadNetscapeMail(ContentSink& sink, const MailOptions& options);

// The folder holding the *.mbx files (config.ini [Mail] OutlookExpressFolder); "" when unset.
std::string OutlookExpressMailFolder(const MailOptions& options);
// The Netscape user folders, entry 0 empty: the ";"-separated [Mail] NetscapeFolders, or when
// that is unset every ~/.thunderbird/<profile>/Mail/<account>/ folder. A folder counts when it
// or its "Mail" subfolder holds popstate.dat (NetscapeMailFolder).
std::vector<std::string> GetNetscapeUserDirs(const MailOptions& options);
// The folder of a user folder that holds the mailbox files: the folder itself when it holds
// popstate.dat, else its "Mail" subfolder when that does; "" when neither.
std::string NetscapeMailFolder(std::string_view userDir);

// One mailbox file, for the readers above and for tests: every message stored, counted.
MailCounts ReadOutlookExpressFile(std::string_view path, ContentSink& sink);
MailCounts ReadNetscapeFile(std::string_view path, ContentSink& sink);

// The row of one message (content, author, title, modified, location, filesize, type).
FileInfo MailMessageInfo(std::string_view message, std::string_view mailbox, bool outlookExpress);

// Header readers (exact-case searches; the first occurrence in the message counts). Sender and
// subject include their continuation lines; encoded words are left for MailMessageInfo.
std::string GetMailFrom(std::string_view message);
std::string GetMailSubject(std::string_view message);
// The "Date:" header as a calendar date and time of day; the zero date (1899-12-30 00:00:00)
// when the header is missing or cannot be read as "weekday, day month year time".
base::DateTimeParts GetMailDate(std::string_view message);
std::string GetMessageId(std::string_view message);
std::string MakeMessageId();

// The message's text as UTF-8: the first text/plain part searched through every nested
// multipart (a message without Content-Type is plain text), or else the first text/html part with
// its markup removed. The part's transfer encoding (base64, quoted-printable) is undone and its
// bytes are recoded from the declared charset (any name, any letter case), or from the code page
// the detector finds when none is declared. Empty when the message has no text part or no empty
// line after its headers.
std::string GetMailBody(std::string_view message);
// Quoted-printable decoding: every "=XX" escape becomes its byte and soft line breaks ("=" at a
// line end) are removed. With charset "koi8r" the bytes above 127 are then converted from KOI8-R
// to Windows-1251; any other charset leaves the bytes as decoded.
std::string DecodeQuotedPrintable(std::string_view text, std::string_view charset);
// Mail bytes in the declared charset as UTF-8; an empty, "us-ascii" or unknown charset leaves
// the choice to the code-page detector.
std::string RecodeMailText(std::string_view bytes, std::string_view charset);

// True for the rest of an mbox separator line after "From ": either "- date" as Netscape and
// Thunderbird write it, or "address date" as other mail programs do, where the date holds a time
// of day and a four-digit year.
bool IsMboxSeparatorLine(std::string_view rest);

// The whole file's bytes; "" when it cannot be read.
std::string ReadMailFile(std::string_view path);

// Cuts a mailbox into messages as it reads, so that a mailbox of any size needs memory for one
// message at a time: `separator` cuts, the piece before the first cut is skipped, and every
// later piece is handed to `perMessage`. `prefix` is put before the file's first byte.
// Returns false when the file cannot be read.
bool SplitMailbox(std::string_view path, std::string_view prefix, std::string_view separator,
                  const std::function<void(std::string_view message)>& perMessage);
// The same where a separator only cuts when `accept` takes the rest of its line (from after the
// separator to the line break).
bool SplitMailbox(std::string_view path, std::string_view prefix, std::string_view separator,
                  const std::function<bool(std::string_view restOfLine)>& accept,
                  const std::function<void(std::string_view message)>& perMessage);

}  // namespace zyl::extract
