// Cyrillic code pages and Unicode forms: the detector that tells which one a text is in, and
// the converters. Inputs are raw bytes; RecodeToWin and DosToWin give Windows-1251 bytes,
// AutoRecode and the Unicode converters give program text (UTF-8).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

// Unicode is UTF-16 little-endian, UnicodeBe big-endian; Mac is MacCyrillic.
enum class CodePage { Utf8, Unicode, UnicodeBe, Dos, Iso, Koi, Win, Mac };

// "utf8", "unicode", "unicodebe", "dos", "iso", "koi", "win", "mac".
std::string_view CodePageName(CodePage cp);

// Guesses the code page of a sample of text, in this order: UTF-16 (DetectUtf16); UTF-8 by its
// byte-order mark or as valid UTF-8 with at least one multi-byte sequence (a sample cut inside
// its last sequence still counts); Win for a sample without bytes above 127; otherwise the
// single-byte Cyrillic code page in which the sample reads most like Russian or English prose
// (CyrillicDetector.h). Never fails.
CodePage DetectCodePage(std::string_view sample);

// The UTF-16 byte order of a text without a byte-order mark, when its characters' high bytes
// show it: nearly all 0x00 (Latin text, blanks, punctuation), 0x04 (Cyrillic letters) or
// 0x20/0x21 (dashes, quotes, №) at every second byte, and nearly no zero byte at the others.
// nullopt when the text does not look like UTF-16.
std::optional<bool> Utf16BigEndianWithoutMark(std::string_view sample);

// Unicode or UnicodeBe when the sample is UTF-16: by its byte-order mark, when the text behind
// the mark has the zero or 0x04 high bytes of Latin or Cyrillic text (two bytes FF FE also
// open Windows-1251 text that begins with "яю"), or without a mark by
// Utf16BigEndianWithoutMark; nullopt otherwise.
std::optional<CodePage> DetectUtf16(std::string_view sample);

// How many bytes of the text equal `byte`.
std::size_t CountChar(std::string_view text, unsigned char byte);

enum class SourceCodePage { Koi8R, Iso8859_5 };
// Every byte below 128 stays; every other byte becomes its table entry, or "?" without one.
// The length never changes.
std::string RecodeToWin(std::string_view bytes, SourceCodePage source);
unsigned char Koi8ToWin(unsigned char byte);
// ISO-8859-5 byte to Windows-1251, '?' for the bytes the table leaves out.
unsigned char IsoToWin(unsigned char byte);
// CP866 to Windows-1251 with best-fit replacements for what Windows-1251 lacks; the length
// never changes.
std::string DosToWin(std::string_view bytes);
unsigned char DosCharToWin(unsigned char byte);

// UTF-16 bytes (no byte-order mark handling) to UTF-8. An odd last byte is dropped and an
// unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian = false);

// The bytes as UTF-8 text: well-formed sequences stay, every malformed byte becomes U+FFFD.
std::string RepairUtf8(std::string_view bytes);

// MacCyrillic bytes to UTF-8 (every byte has a character).
std::string MacCyrillicToUtf8(std::string_view bytes);

// Detects on the first 3000 bytes, converts the whole text, returns UTF-8; a byte-order mark is
// dropped. The one routine for any text whose code page nothing declares: plain text, HTML
// without a charset, mail bodies without one.
std::string AutoRecode(std::string_view bytes);

// What a text's byte-order mark declares (UTF-8, UTF-16 LE, UTF-16 BE) and how many bytes the
// mark takes; nullopt without a mark.
struct ByteOrderMark {
  CodePage codePage;
  std::size_t length;
};
std::optional<ByteOrderMark> FindByteOrderMark(std::string_view bytes);

// UTF-16 bytes (by DetectUtf16 on the first 3000 bytes, mark or not) to UTF-8, the mark
// dropped; nullopt when the text is not UTF-16.
std::optional<std::string> DecodeUtf16Text(std::string_view bytes);

// A text whose byte-order mark declares UTF-8 or UTF-16 (DetectUtf16 confirming) as UTF-8, the
// mark dropped; nullopt for a text without a mark. A mark declares the form as surely as a
// page's charset does, so it is read even where code-page detection is off.
std::optional<std::string> DecodeMarkedText(std::string_view bytes);

}  // namespace zyl::extract
