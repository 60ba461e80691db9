// The streaming XML helper on arbitrary bytes, whole and in pieces: no crash, and the same
// outcome whichever way the bytes are fed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "extract/container/XmlText.h"

namespace {

class Collector : public zyl::extract::XmlHandler {
 public:
  std::string text;
  void StartElement(const zyl::extract::XmlName& name,
                    std::span<const zyl::extract::XmlAttribute> attributes) override {
    text += '<';
    text += name.local;
    for (const auto& a : attributes) text += a.value;
  }
  void Text(std::string_view t) override { text += t; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Collector whole;
  const XmlError a = ParseXml(input, whole);

  Collector pieces;
  XmlParser parser(pieces);
  for (std::size_t at = 0; at < input.size(); at += 7)
    if (!parser.Feed(input.substr(at, 7))) break;
  parser.Finish();
  if (parser.error() != a) std::abort();
  if (a == XmlError::None && pieces.text != whole.text) std::abort();
  return 0;
}
