// The MP3 reader: the ID3v1 tag block near the end of the file.
#pragma once

#include <cstddef>
#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// How many bytes from the end of the file are searched for the tag.
inline constexpr std::size_t kMp3TagWindow = 1100;

// Type "mp3" with title, artist (author) and all fields joined in the content; a file without
// a tag is still "mp3" with empty fields. "error" for a file of kMp3TagWindow bytes or less,
// or one that cannot be read.
FileInfo GetMp3Info(std::string_view path);
// The same from the last bytes of a file.
FileInfo Mp3InfoFromTail(std::string_view window);

}  // namespace zyl::extract
