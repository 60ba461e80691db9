#include "extract/mp3/Mp3Reader.h"

#include <fstream>
#include <string>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "base/Strings.h"

namespace zyl::extract {

namespace {

// One fixed-width field of the tag: it ends at its first zero byte (the rest is padding, or in a
// comment the track number of later tag versions), blanks around it go.
std::string Field(std::string_view window, std::size_t tag, std::size_t offset,
                  std::size_t length) {
  const std::size_t start = tag + offset;
  if (start >= window.size()) return {};
  std::string_view field = window.substr(start, length);
  field = field.substr(0, field.find('\0'));
  return base::DecodeLegacyText(base::TrimView(field));
}

}  // namespace

FileInfo Mp3InfoFromTail(std::string_view window) {
  FileInfo info;
  info.type = "mp3";
  // The last "TAG": a song title that happens to hold the letters moves the fields with it.
  const std::size_t tag = window.rfind("TAG");
  if (tag == std::string_view::npos) return info;
  const std::string title = Field(window, tag, 3, 30);
  const std::string artist = Field(window, tag, 33, 30);
  const std::string album = Field(window, tag, 63, 30);
  const std::string year = Field(window, tag, 93, 4);
  const std::string comment = Field(window, tag, 97, 30);
  info.title = title;
  info.author = artist;
  info.content = title + " " + artist + " " + album + " " + year + " " + comment;
  return info;
}

FileInfo GetMp3Info(std::string_view path) {
  const auto size = base::FileSize(path);
  if (!size || *size <= kMp3TagWindow) return ErrorInfo();
  std::ifstream in{std::string(path), std::ios::binary};
  std::string window(kMp3TagWindow, '\0');
  in.seekg(static_cast<std::streamoff>(*size - kMp3TagWindow));
  in.read(window.data(), static_cast<std::streamsize>(window.size()));
  if (!in || in.gcount() != static_cast<std::streamsize>(window.size())) return ErrorInfo();
  return Mp3InfoFromTail(window);
}

}  // namespace zyl::extract
