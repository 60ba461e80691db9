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
  bool encrypted = false;  // password-protected: nothing else is filled
};

// nullopt for files that are not Word documents wv can read (other OLE2 files included) and
// for damaged ones; a document marked encrypted for password-protected ones.
std::optional<WordDocument> ReadWordDocument(std::string_view path);

}  // namespace zyl::extract
