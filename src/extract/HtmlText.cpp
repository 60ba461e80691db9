#include "extract/HtmlText.h"

#include "base/Strings.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kScriptOpen = "<script";
constexpr std::string_view kScriptClose = "</script>";

// Copies the text without its comments. The closing "-->" is searched from the comment's own
// "<", so "<!-->" is a complete (empty) comment.
std::string RemoveComments(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find(kCommentOpen, pos);
    if (open == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, open - pos));
    const std::size_t close = text.find(kCommentClose, open);
    if (close == std::string_view::npos) break;  // unterminated: the rest is comment
    pos = close + kCommentClose.size();
  }
  return out;
}

std::string RemoveScripts(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = base::FindAsciiNoCase(text, kScriptOpen, pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = base::FindAsciiNoCase(text, kScriptClose, open);
    if (close == std::string_view::npos) break;  // unterminated: left as it is
    out.append(text.substr(pos, open - pos));
    pos = close + kScriptClose.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace

std::string StripCommentsAndScripts(std::string_view text) {
  return RemoveScripts(RemoveComments(text));
}

std::string StripTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find('<', pos);
    if (open == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, open - pos));
    const std::size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) {
      out.append(text.substr(open));  // no tag end anywhere: keep the rest as text
      break;
    }
    pos = close + 1;
  }
  return out;
}

std::string StripTagsChunked(std::string_view text) {
  // Pieces existed because removing tags one by one from one long string cost time in the
  // square of its length. StripTags builds its output in one pass, so the whole text is one
  // piece; cutting it would only risk splitting a tag whose ">" lies in the next piece.
  return StripTags(text);
}

}  // namespace zyl::extract
