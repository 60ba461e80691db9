// What one document read in the reader process gives back, and the shape of a reader that runs
// there.
#pragma once

#include <optional>
#include <string>

namespace zyl::extract {

struct HelperDocument {
  std::string content;
  std::string author;
  std::string title;
  bool textCut = false;  // content was cut to MaxTextBytes in the reader process
  // The document is encrypted and was not read: the fields above are empty.
  bool passwordRequired = false;
};

// Reads one document inside the reader process; nullopt when the file cannot be read.
using ReaderJob = std::optional<HelperDocument> (*)(const std::string& path);

}  // namespace zyl::extract
