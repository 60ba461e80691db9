// The built-in HTML reader on arbitrary bytes: it must end, give UTF-8 text, and its chunked
// and unchunked stripping must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Utf8.h"
#include "extract/core/CodePages.h"
#include "extract/html/HtmlEntities.h"
#include "extract/html/HtmlReader.h"
#include "extract/html/HtmlText.h"

using namespace zyl::extract;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const FileInfo info = HtmlInfoFromBytes(bytes);
  if (size > 0 && info.type != "html") std::abort();
  if (!zyl::base::IsValidUtf8(info.content) || !zyl::base::IsValidUtf8(info.title) ||
      !zyl::base::IsValidUtf8(info.author))
    std::abort();
  const std::string text = StripCommentsAndScripts(bytes);
  if (text.size() > size) std::abort();
  const std::string stripped = StripTags(text);
  if (stripped != StripTagsChunked(text) || stripped.size() > text.size()) std::abort();
  // The tag parser never grows the text (a blank replaces at least a "<x>"), and references
  // decoded from UTF-8 give UTF-8.
  if (HtmlTagsToText(text).size() > text.size()) std::abort();
  const std::string utf8 = RepairUtf8(bytes);
  if (!zyl::base::IsValidUtf8(DecodeHtmlEntities(utf8))) std::abort();
  (void)GetHtmlTitle(bytes);
  (void)GetHtmlAuthor(bytes);
  return 0;
}
