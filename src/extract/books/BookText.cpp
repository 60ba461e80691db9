#include "extract/books/BookText.h"

#include "extract/TextLimit.h"

namespace zyl::extract {

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
}  // namespace

void BookText::Add(std::string_view piece) {
  if (full_) return;
  for (const char c : piece) {
    if (IsBlank(c)) {
      pendingBlank_ = true;
      continue;
    }
    if (pendingBlank_ && !text_.empty() && text_.back() != '\n') text_ += ' ';
    pendingBlank_ = false;
    text_ += c;
  }
  // One character past the bound tells Take that it must cut, and the reader that it may stop.
  if (text_.size() > maxBytes_) full_ = true;
}

void BookText::EndBlock() {
  pendingBlank_ = false;
  if (!full_ && !text_.empty() && text_.back() != '\n') text_ += '\n';
}

std::string BookText::Take() {
  if (!text_.empty() && text_.back() == '\n') text_.pop_back();
  CutText(text_, maxBytes_);
  return std::move(text_);
}

void AddToField(std::string& field, std::string_view piece) {
  constexpr std::size_t kMaxField = 4096;
  if (field.size() < kMaxField) field.append(piece.substr(0, kMaxField - field.size()));
}

}  // namespace zyl::extract
