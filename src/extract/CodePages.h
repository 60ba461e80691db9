// Cyrillic code pages: the byte-statistics detector and the converters to Windows-1251.
// Inputs are raw bytes; RecodeToWin and DosToWin give Windows-1251 bytes, AutoRecode gives
// program text (UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zyl::extract {

enum class CodePage { Utf8, Unicode, Dos, Iso, Koi, Win };

// "utf8", "unicode", "dos", "iso", "koi", "win".
std::string_view CodePageName(CodePage cp);

// Guesses the code page of a sample of Russian text from its byte statistics. Valid UTF-8
// with at least one multi-byte sequence is recognised first (a sample cut inside its last
// sequence still counts); a sample without bytes above 127 comes out Win.
CodePage DetectCodePage(std::string_view sample);
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

// Detects on the first 3000 bytes, converts the whole text, returns UTF-8.
std::string AutoRecode(std::string_view bytes);

}  // namespace zyl::extract
