// Found documents and the texts the result list shows for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::search {

// One found document; every value as text, filesize "n/a" when the stored size is null. The
// content is not carried: a common word finds most of an index, and copying every found text
// would cost as much memory as the index itself. It is read when it is shown (ResultContent.h)
// from the row's database by the row's number.
struct ResultRow {
  std::string database;    // the index database the row was found in
  std::int64_t rowid = 0;  // the row's place in it
  std::string location;
  std::string type;
  std::string modified;
  std::string author;
  std::string title;
  std::string filesize;
};

// The list's "Файл" and "Папка" texts of a location: the folder keeps its trailing "/" so that
// folder + file gives the location back. A web address is all file and no folder; a mail row
// is split after its mailbox name, whatever its message id holds.
struct LocationParts {
  std::string folder;
  std::string file;
};
LocationParts SplitLocation(std::string_view location, std::string_view type);
bool IsWebAddress(std::string_view location);

// Small icon number of a stored type (1..13 for the first releases' types, 14 on for later
// ones); 0 for a type without one, which keeps the icon of the entry before it.
int IconOfType(std::string_view type);

// Kilobytes with two decimals and the given decimal sign, " KB" after, padded on the left to 9
// characters; "n/a" for a size that is not a number.
std::string SizeText(std::string_view filesize, char decimalSign = '.');

// What opening a listed document means.
struct OpenTarget {
  enum Kind { kFile, kMailProgram } kind = kFile;
  std::string path;  // the file to open: the archive itself for an archive member
  std::string type;  // mail_oe / mail_moz for the mail program
};
OpenTarget OpenTargetOf(std::string_view location, std::string_view type);

// 1-based position of the first row with exactly this location; 0 when none.
std::size_t FindNum(const std::vector<ResultRow>& results, std::string_view location);

}  // namespace zyl::search
