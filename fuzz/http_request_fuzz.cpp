// Request parsing of the document server on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "server/HttpRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto request = zyl::server::ParseRequest(text);
  (void)zyl::server::GetQueryVar(request, "action");
  (void)zyl::server::ParseQueryString(text);
  const std::string decoded = zyl::server::UrlDecodeText(text);
  (void)zyl::server::UrlDecodeText(zyl::server::UrlEncodeComponent(decoded));
  const auto frame = zyl::server::FrameRequest(text, 64 * 1024);
  if (frame.state == zyl::server::RequestFrame::State::Complete && frame.length > text.size())
    __builtin_trap();
  return 0;
}
