// Line-based INI files: config.ini, server.ini and the index descriptors.
//
// Every operation works on the whole file: read all lines, change the line array, write it all
// back. Lines are read with CR LF, LF or CR breaks (people edit these files with any editor) and
// always written with CR LF, so a key change leaves every other line's text as it was. Section and
// key names match without regard to letter case; there is no comment syntax. Files are decoded
// with base::DecodeLegacyText and written as UTF-8, always by an atomic replace.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::settings {

using IniLines = std::vector<std::string>;

// Raised by the writing operations when the file cannot be read or replaced.
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// --- Line-array operations -------------------------------------------------------------------

// The file's lines; a file ending with CR LF gives a last element "". A missing file in an
// existing folder is created empty on the way (the settings files appear beside the program as
// soon as they are first read). nullopt when the file cannot be read.
std::optional<IniLines> ReadFileLines(std::string_view path);

// Joins the lines with CR LF, collapses every doubled line break into one (in one left-to-right
// pass) and replaces the file atomically; no line break is added at the end.
// Throws IniWriteError.
void WriteFileLines(std::string_view path, const IniLines& lines);

// Index of the line "[section]" (whole line, letter case ignored), or -1.
int FindSectionLine(const IniLines& lines, std::string_view section);
// Index of the last line of the section whose header is at `start`.
int FindSectionEnd(const IniLines& lines, int start);
// Index of the first line of the section whose key (text before the first "=", blanks trimmed)
// equals `key`, letter case ignored; -1 when there is none.
int FindKeyLine(const IniLines& lines, std::string_view section, std::string_view key);
// Index of the first line of the section equal to `text`, both blank-trimmed, case ignored.
int FindLine(const IniLines& lines, std::string_view section, std::string_view text);

// True for a line that opens a section: first character "[" and last character "]".
bool IsSectionHeader(std::string_view line);

// The value of the key in lines already read, by ReadIniValue's rule (below).
std::string IniValue(const IniLines& lines, std::string_view section, std::string_view key,
                     std::string_view defaultValue);

// --- Public operations -----------------------------------------------------------------------

// The text after the first "=" of the key line, untrimmed; `defaultValue` when the file,
// section or key is missing, the value is empty, or the file cannot be read. Never throws.
std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::string_view path);

// Replaces the first line of the key (written as `key` + "=" + value), or appends the key to
// the end of its section, or appends the section with the key to the end of the file.
// Throws IniWriteError.
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view path);
// Numbers and booleans are written as plain decimal text ("1" and "0" for booleans).
void WriteIniValue(std::string_view section, std::string_view key, std::int64_t value,
                   std::string_view path);

// The section's non-empty lines in file order, as stored. nullopt when the section is missing
// or its header is the last line of its section (nothing after it). A section made only of
// empty lines gives one element "".
std::optional<std::vector<std::string>> ReadIniSection(std::string_view section,
                                                       std::string_view path);

// Appends the texts that the section does not hold yet (compared trimmed, case ignored) after
// its current last line, creating the section at the end of the file when missing. All texts of
// one call are inserted at the same position, so they stand in reverse order. Throws
// IniWriteError.
void AddIniLines(std::string_view section, const std::vector<std::string>& texts,
                 std::string_view path);

// Removes the header and every line of the section; the file is untouched when the section does
// not exist. Throws IniWriteError.
void DeleteIniSection(std::string_view section, std::string_view path);

// Removes the first line of the key; the file is rewritten in either case. Throws IniWriteError.
void DeleteIniKey(std::string_view section, std::string_view key, std::string_view path);

// The lookup used for language files, which are edited by translators: lines may end with LF,
// CR LF or CR, blanks and tabs around headers, keys and values are ignored, and a value enclosed in
// a pair of equal quotes loses them (so a translation can keep a trailing blank). A present but
// empty value gives "". At most 248 characters (code points) come back. A missing file is never
// created; any failure gives `defaultValue`.
std::string GetProfileValue(std::string_view section, std::string_view key,
                            std::string_view defaultValue, std::string_view path);

// Longest value GetProfileValue returns, in code points.
inline constexpr std::size_t kProfileValueMax = 248;

}  // namespace zyl::settings
