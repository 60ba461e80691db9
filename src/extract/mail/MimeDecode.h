// The decodings mail needs on top of plain text: the two transfer encodings (base64 and
// quoted-printable), encoded words in headers ("=?koi8-r?B?...?="), and recoding the bytes of a
// declared character set into program text (UTF-8). None of them throws; malformed input
// decodes as far as it makes sense and keeps the rest as written.
#pragma once

#include <string>
#include <string_view>

namespace zyl::extract {

// Base64 bytes. Characters outside the alphabet (line breaks, blanks) are skipped; decoding
// stops at the first "=" pad; a trailing group too short to give a byte is dropped.
std::string DecodeBase64(std::string_view text);

// Quoted-printable bytes: "=XX" in either letter case becomes that byte, "=" before a line break
// (a soft break) is removed with the break, and any other "=" stays as written.
std::string DecodeQuotedPrintableBytes(std::string_view text);

// A header value with its encoded words decoded, as UTF-8. Blanks between two encoded words
// are dropped (so a word split over folded lines joins again); adjacent words of one charset are
// joined before recoding, so a character split between them survives. Text outside encoded
// words, and words that cannot be decoded, go through base::DecodeLegacyText.
std::string DecodeEncodedWords(std::string_view value);

}  // namespace zyl::extract
