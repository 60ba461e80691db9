#include "extract/container/DocumentText.h"

#include "extract/TextLimit.h"

namespace zyl::extract {

DocumentText::DocumentText() : maxBytes_(MaxTextBytes()) {}

void DocumentText::Append(std::string_view text) {
  if (cut_) return;
  if (text.size() <= room()) {
    text_.append(text);
    return;
  }
  // A few bytes past the room let the cut find the end of the last whole character.
  text_.append(text.substr(0, static_cast<std::size_t>(room()) + 4));
  CutText(text_, maxBytes_);
  cut_ = true;
}

}  // namespace zyl::extract
