// The running text of a book gathered from its markup: character data comes in pieces, runs of
// blanks and line breaks become one blank, and the end of a paragraph (or any block) becomes one
// line break. The text is bounded by MaxTextBytes: once full, the reader can stop parsing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zyl::extract {

class BookText {
 public:
  // Bounded by `maxBytes` (the reader passes MaxTextBytes()).
  explicit BookText(std::uint64_t maxBytes) : maxBytes_(maxBytes) {}

  // A piece of character data (UTF-8).
  void Add(std::string_view piece);
  // The end of a block: what follows starts on a line of its own.
  void EndBlock();

  // True once the text reached its bound; what came after was dropped.
  bool full() const { return full_; }
  // The gathered text, trailing line break removed, cut to the bound without splitting a
  // character.
  std::string Take();

 private:
  std::string text_;
  std::uint64_t maxBytes_;
  bool pendingBlank_ = false;
  bool full_ = false;
};

// Adds a piece of a short field (a title, a name) gathered as it comes; the field stops
// growing at a few kilobytes, far beyond any stored title or author. Collapse it once whole.
void AddToField(std::string& field, std::string_view piece);

}  // namespace zyl::extract
