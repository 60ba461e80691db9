#include "extract/container/PackagePart.h"

namespace zyl::extract {

namespace {

// Metadata parts are small; a larger one is no metadata worth reading.
constexpr std::uint64_t kMaxMetadataBytes = 4 << 20;

class FirstTexts : public XmlHandler {
 public:
  explicit FirstTexts(std::span<const XmlName> wanted)
      : wanted_(wanted), texts_(wanted.size()), found_(wanted.size(), false) {}

  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    if (current_ >= 0) {
      ++depth_;
      return;
    }
    for (std::size_t i = 0; i < wanted_.size(); ++i)
      if (!found_[i] && name.Is(wanted_[i].uri, wanted_[i].local)) {
        current_ = static_cast<int>(i);
        depth_ = 0;
        return;
      }
  }
  void EndElement(const XmlName&) override {
    if (current_ < 0) return;
    if (depth_-- > 0) return;
    found_[current_] = true;
    current_ = -1;
  }
  void Text(std::string_view text) override {
    if (current_ >= 0 && texts_[current_].size() < kMaxMetadataBytes) texts_[current_] += text;
  }
  std::vector<std::string> Take() {
    for (auto& t : texts_) t = CollapseWhitespace(t);
    return std::move(texts_);
  }

 private:
  std::span<const XmlName> wanted_;
  std::vector<std::string> texts_;
  std::vector<bool> found_;
  int current_ = -1;
  int depth_ = 0;
};

}  // namespace

PartStatus ParsePart(ZipPackage& zip, std::string_view part, XmlHandler& handler,
                     const std::function<bool()>& enough) {
  PartStatus status;
  XmlParser parser(handler);
  status.zip = zip.ReadMember(part, [&](std::string_view piece) {
    if (!parser.Feed(piece)) return false;
    if (enough && enough()) {
      parser.Stop();
      return false;
    }
    return true;
  });
  if (status.zip == ZipError::None && parser.error() == XmlError::None) parser.Finish();
  status.xml = parser.error();
  return status;
}

std::vector<std::string> FirstElementTexts(ZipPackage& zip, std::string_view part,
                                           std::span<const XmlName> wanted) {
  FirstTexts handler(wanted);
  std::string bytes;
  if (zip.ReadMember(part, bytes, kMaxMetadataBytes) != ZipError::None ||
      ParseXml(bytes, handler) != XmlError::None)
    return std::vector<std::string>(wanted.size());
  return handler.Take();
}

std::string CollapseWhitespace(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

}  // namespace zyl::extract
