// Word 97-2003 documents and templates (.doc, .dot): the main text through the wv library,
// author and title from the SummaryInformation stream.
#pragma once

#include <cstdint>
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

// The language whose code page maps a run's eight-bit characters: the run's own (`runLid`),
// except in Word 6 and 95 files (file information block version `nFib` below Word 97's) whose
// document language (`documentLid`, 0 when unknown) has a code page other than Western and whose
// run is marked with a Western language.
std::uint16_t EightBitTextLanguage(std::uint16_t nFib, std::uint16_t documentLid,
                                   std::uint16_t runLid);

}  // namespace zyl::extract
