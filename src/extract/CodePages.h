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

CodePage DetectCodePage(std::string_view sample);
std::size_t CountChar(std::string_view text, unsigned char byte);

enum class SourceCodePage { Koi8R, Iso8859_5 };
// Every byte below 128 stays; every other byte becomes its table entry, or "?" without one.
std::string RecodeToWin(std::string_view bytes, SourceCodePage source);
unsigned char Koi8ToWin(unsigned char byte);
// CP866 to Windows-1251 with best-fit replacements for what Windows-1251 lacks.
std::string DosToWin(std::string_view bytes);

// Detects on the first 3000 bytes, converts the whole text, returns UTF-8.
std::string AutoRecode(std::string_view bytes);

}  // namespace zyl::extract
