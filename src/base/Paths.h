// Paths and whole-file access. "/" is the separator; a path is absolute when it begins with "/".
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zyl::base {

// folder + "/" + name, never doubling the separator; an empty folder gives name.
std::string JoinPath(std::string_view folder, std::string_view name);
bool IsAbsolutePath(std::string_view path);
// The folder with exactly one trailing "/".
std::string WithTrailingSlash(std::string_view folder);

// True for an existing regular file (or a link to one); false for folders, "" and missing paths.
bool FileExists(std::string_view path);
// True for an existing folder; never fails.
bool IsFolder(std::string_view path);
std::optional<std::uint64_t> FileSize(std::string_view path);
std::optional<std::time_t> FileModifiedTime(std::string_view path);

// The part of the path after its last ".", lower-cased; the whole path, lower-cased, when it has
// no "." (so that it names no known extension).
std::string FileExtension(std::string_view path);

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(std::string_view path);
// Writes the bytes by creating a temporary file in the same folder and renaming it over the
// target, so a crash never leaves a half-written file. Returns false with `error` set on failure.
bool WriteFileAtomic(std::string_view path, std::string_view bytes, std::string* error = nullptr);
// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(std::string_view path);

}  // namespace zyl::base
