// Word-processor documents read through librevenge: WordPerfect (.wpd) with libwpd, Works
// (.wps) and Windows Write (.wri) with libwps.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

struct WpDocument {
  std::string text;  // UTF-8, paragraph and line ends as CR LF
  std::string author;
  std::string title;
};

// nullopt when libwpd does not recognise the file, when it is encrypted or the parse fails.
std::optional<WpDocument> ReadWordPerfect(std::string_view path);
// Works and Write text documents (and the other word-processor files libwps knows). nullopt
// for spreadsheets and databases, encrypted files and files libwps cannot parse.
std::optional<WpDocument> ReadWorksText(std::string_view path);

}  // namespace zyl::extract
