// The text of a document gathered from its parts as they stream by, bounded by the run's
// MaxTextBytes(): once full, further text is dropped and the readers stop reading.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zyl::extract {

class DocumentText {
 public:
  DocumentText();  // bounded by MaxTextBytes()
  explicit DocumentText(std::uint64_t maxBytes) : maxBytes_(maxBytes) {}

  // Appends what fits, never splitting a character; what does not fit marks the text cut.
  void Append(std::string_view text);
  // Ends a line (CR LF, as every reader writes them).
  void EndLine() { Append("\r\n"); }
  // True once something was dropped: reading further gives nothing.
  bool cut() const { return cut_; }
  std::uint64_t room() const { return maxBytes_ - text_.size(); }
  const std::string& text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  std::uint64_t maxBytes_;
  std::string text_;
  bool cut_ = false;
};

}  // namespace zyl::extract
