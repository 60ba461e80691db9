// Rich Text Format reader: the main text of a document and the title and author of its
// information group.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

struct RtfDocument {
  std::string text;  // UTF-8; paragraph and line ends as CR LF, tabs as TAB
  std::string title;
  std::string author;
};

// Bytes that do not begin with "{\rtf", that end before the outermost group is closed or that
// nest groups deeper than the reader allows give nullopt.
std::optional<RtfDocument> ParseRtf(std::string_view bytes);

}  // namespace zyl::extract
