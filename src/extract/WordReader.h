// Word 97-2003 documents and templates (.doc, .dot): the main text through the wv library,
// author and title from the SummaryInformation stream.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

struct WordDocument {
  std::string text;  // UTF-8; paragraph and line ends as CR LF, table cells ended by TAB
  std::string author;
  std::string title;
};

// nullopt for files that are not Word 97-2003 documents wv can read, for encrypted
// (password-protected) documents and for damaged ones.
std::optional<WordDocument> ReadWordDocument(std::string_view path);

}  // namespace zyl::extract
