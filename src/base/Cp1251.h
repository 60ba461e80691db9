// The legacy working code page, Windows-1251, and the one rule by which outside bytes
// become program text.
#pragma once

#include <string>
#include <string_view>

namespace zyl::base {

// Unicode code point of a Windows-1251 byte. The one unassigned byte (0x98) maps to U+0098
// so that every byte survives a round trip.
char32_t Cp1251ToUnicode(unsigned char byte);
// Windows-1251 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1251(char32_t cp);

std::string Cp1251ToUtf8(std::string_view bytes);
// Characters the code page lacks become `replacement`.
std::string Utf8ToCp1251(std::string_view text, char replacement = '?');

// The program's rule for bytes from outside (files, INI files, URL escapes, templates):
// valid UTF-8 stays as it is; anything else is read as Windows-1251.
std::string DecodeLegacyText(std::string_view bytes);

}  // namespace zyl::base
