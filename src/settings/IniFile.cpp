#include "settings/IniFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "base/Utf8.h"

namespace zyl::settings {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string ParentFolder(std::string_view path) {
  const std::string parent = std::filesystem::path(std::string(path)).parent_path().string();
  return parent.empty() ? std::string(".") : parent;
}

// A missing settings file in an existing folder is created empty, so that the files a user may
// edit appear beside the program after its first start. Failure is harmless: the read that
// follows reports it.
void CreateWhenMissing(std::string_view path) {
  if (path.empty() || base::FileExists(path) || !base::IsFolder(ParentFolder(path))) return;
  const int fd = ::open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) ::close(fd);
}

// The lines of a writer, which must not replace a file it could not read.
IniLines ReadForWriting(std::string_view path) {
  auto lines = ReadFileLines(path);
  if (lines) return std::move(*lines);
  if (!base::IsFolder(ParentFolder(path))) {
    throw IniWriteError("cannot write the settings file " + std::string(path) +
                        ": its folder does not exist");
  }
  throw IniWriteError("cannot read the settings file " + std::string(path));
}

// Splits at CR LF, LF or a lone CR: people edit these files with Linux editors (LF) and old Mac
// ones (CR), and a file must not silently fall back to its defaults because of that. A final break
// gives a last element "", as it does with CR LF.
IniLines SplitLines(std::string_view text) {
  IniLines lines;
  if (text.empty()) return lines;  // an empty file has no line at all
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

std::string_view KeyOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  return base::TrimView(line.substr(0, eq));
}

}  // namespace

std::optional<IniLines> ReadFileLines(std::string_view path) {
  CreateWhenMissing(path);
  auto bytes = base::ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return SplitLines(base::DecodeLegacyText(*bytes));
}

void WriteFileLines(std::string_view path, const IniLines& lines) {
  const std::string text = base::Replace(base::Join(lines, kLineBreak), "\r\n\r\n", kLineBreak);
  std::string why;
  if (!base::WriteFileAtomic(path, text, &why)) {
    throw IniWriteError("cannot write the settings file " + std::string(path) + ": " + why);
  }
}

bool IsSectionHeader(std::string_view line) {
  return !line.empty() && line.front() == '[' && line.back() == ']';
}

int FindSectionLine(const IniLines& lines, std::string_view section) {
  const std::string header = "[" + std::string(section) + "]";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (base::EqualsNoCase(lines[i], header)) return static_cast<int>(i);
  }
  return -1;
}

int FindSectionEnd(const IniLines& lines, int start) {
  const int last = static_cast<int>(lines.size()) - 1;
  if (start >= last) return start;
  for (int i = start + 1; i <= last; ++i) {
    if (IsSectionHeader(lines[static_cast<std::size_t>(i)])) return i - 1;
  }
  return last;
}

// The header line itself is never taken for a key or a text line: a header such as "[a=b]"
// would otherwise be overwritten by a writer.
int FindKeyLine(const IniLines& lines, std::string_view section, std::string_view key) {
  const int s = FindSectionLine(lines, section);
  if (s < 0) return -1;
  const int e = FindSectionEnd(lines, s);
  for (int i = s + 1; i <= e; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    if (line.find('=') != std::string::npos && base::EqualsNoCase(KeyOf(line), key)) return i;
  }
  return -1;
}

int FindLine(const IniLines& lines, std::string_view section, std::string_view text) {
  const int s = FindSectionLine(lines, section);
  if (s < 0) return -1;
  const int e = FindSectionEnd(lines, s);
  const std::string_view wanted = base::TrimView(text);
  for (int i = s + 1; i <= e; ++i) {
    if (base::EqualsNoCase(base::TrimView(lines[static_cast<std::size_t>(i)]), wanted)) return i;
  }
  return -1;
}

std::string IniValue(const IniLines& lines, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
  const int k = FindKeyLine(lines, section, key);
  if (k < 0) return std::string(defaultValue);
  const std::string& line = lines[static_cast<std::size_t>(k)];
  std::string value = line.substr(line.find('=') + 1);
  if (value.empty()) return std::string(defaultValue);
  return value;
}

std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::string_view path) {
  const auto lines = ReadFileLines(path);
  if (!lines) return std::string(defaultValue);
  return IniValue(*lines, section, key, defaultValue);
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view path) {
  IniLines lines = ReadForWriting(path);
  std::string line = std::string(key) + "=" + std::string(value);
  const int k = FindKeyLine(lines, section, key);
  if (k >= 0) {
    lines[static_cast<std::size_t>(k)] = std::move(line);
  } else if (const int s = FindSectionLine(lines, section); s >= 0) {
    // After the section's last line, which may be the blank left by a final CR LF; the doubled
    // break that this makes is collapsed when the file is written.
    const auto at = static_cast<std::size_t>(FindSectionEnd(lines, s) + 1);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(std::move(line));
  }
  WriteFileLines(path, lines);
}

void WriteIniValue(std::string_view section, std::string_view key, std::int64_t value,
                   std::string_view path) {
  WriteIniValue(section, key, std::string_view(std::to_string(value)), path);
}

std::optional<std::vector<std::string>> ReadIniSection(std::string_view section,
                                                       std::string_view path) {
  const auto lines = ReadFileLines(path);
  if (!lines) return std::nullopt;
  const int s = FindSectionLine(*lines, section);
  if (s < 0) return std::nullopt;
  const int e = FindSectionEnd(*lines, s);
  if (e == s) return std::nullopt;
  std::vector<std::string> out;
  for (int i = s + 1; i <= e; ++i) {
    const std::string& line = (*lines)[static_cast<std::size_t>(i)];
    if (!line.empty()) out.push_back(line);
  }
  if (out.empty()) out.emplace_back();
  return out;
}

void AddIniLines(std::string_view section, const std::vector<std::string>& texts,
                 std::string_view path) {
  IniLines lines = ReadForWriting(path);
  int s = FindSectionLine(lines, section);
  if (s < 0) {
    lines.push_back("[" + std::string(section) + "]");
    s = static_cast<int>(lines.size()) - 1;
  }
  const auto at = static_cast<std::ptrdiff_t>(FindSectionEnd(lines, s) + 1);
  for (const std::string& text : texts) {
    if (FindLine(lines, section, text) < 0) lines.insert(lines.begin() + at, text);
  }
  WriteFileLines(path, lines);
}

void DeleteIniSection(std::string_view section, std::string_view path) {
  IniLines lines = ReadForWriting(path);
  const int s = FindSectionLine(lines, section);
  if (s < 0) return;
  const int e = FindSectionEnd(lines, s);
  lines.erase(lines.begin() + s, lines.begin() + e + 1);
  WriteFileLines(path, lines);
}

void DeleteIniKey(std::string_view section, std::string_view key, std::string_view path) {
  IniLines lines = ReadForWriting(path);
  const int k = FindKeyLine(lines, section, key);
  if (k >= 0) lines.erase(lines.begin() + k);
  WriteFileLines(path, lines);
}

namespace {

std::string_view TrimBlanksAndTabs(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

std::string GetProfileValue(std::string_view section, std::string_view key,
                            std::string_view defaultValue, std::string_view path) {
  if (section.empty() || path.empty() || !base::FileExists(path)) return std::string(defaultValue);
  const auto bytes = base::ReadFileBytes(path);
  if (!bytes) return std::string(defaultValue);
  std::string text = base::DecodeLegacyText(*bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);

  const std::string_view wantedKey = TrimBlanksAndTabs(key);
  bool inSection = false;
  for (const std::string& raw : SplitLines(text)) {
    const std::string_view line = TrimBlanksAndTabs(raw);
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      inSection = base::EqualsNoCase(TrimBlanksAndTabs(line.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!base::EqualsNoCase(TrimBlanksAndTabs(line.substr(0, eq)), wantedKey)) continue;
    const std::string_view value = Unquote(TrimBlanksAndTabs(line.substr(eq + 1)));
    return std::string(value.substr(0, base::CodePointOffset(value, kProfileValueMax)));
  }
  return std::string(defaultValue);
}

}  // namespace zyl::settings
