#include "extract/office/WpReader.h"

#include <librevenge-generators/librevenge-generators.h>
#include <librevenge-stream/librevenge-stream.h>
#include <librevenge/librevenge.h>

#include <libwpd/libwpd.h>
#include <libwps/libwps.h>
#include <cstdint>

#include "base/Cp1251.h"
#include "base/Paths.h"
#include "extract/core/OfficeText.h"

namespace zyl::extract {

namespace {

// Old Works and Write files do not say which code page their text is in; the documents this
// program meets were written on Russian Windows, in Windows-1251.
constexpr const char* kLegacyTextEncoding = "CP1251";

std::string PropertyText(const librevenge::RVNGPropertyList& props, const char* name) {
  const librevenge::RVNGProperty* p = props[name];
  if (!p) return {};
  return base::DecodeLegacyText(p->getStr().cstr());
}

// The plain-text generator with the document properties kept.
class TextWithMetaData : public librevenge::RVNGTextTextGenerator {
 public:
  explicit TextWithMetaData(librevenge::RVNGString& text) : RVNGTextTextGenerator(text) {}

  void setDocumentMetaData(const librevenge::RVNGPropertyList& props) override {
    // The creator of the document is what the office programs call its author; the last
    // editor stands in when the first one is not recorded.
    author = PropertyText(props, "meta:initial-creator");
    if (author.empty()) author = PropertyText(props, "dc:creator");
    title = PropertyText(props, "dc:title");
    RVNGTextTextGenerator::setDocumentMetaData(props);
  }

  std::string author;
  std::string title;
};

WpDocument Finish(const librevenge::RVNGString& text, const TextWithMetaData& gen) {
  WpDocument doc;
  doc.text = NormalizeLineBreaks(base::DecodeLegacyText(text.cstr()));
  doc.author = gen.author;
  doc.title = gen.title;
  return doc;
}

}  // namespace

std::optional<WpDocument> ReadWordPerfect(std::string_view path) {
  const std::string p(path);
  librevenge::RVNGFileStream input(p.c_str());
  if (libwpd::WPDocument::isFileFormatSupported(&input) != libwpd::WPD_CONFIDENCE_EXCELLENT)
    return std::nullopt;
  librevenge::RVNGString text;
  TextWithMetaData gen(text);
  try {
    if (libwpd::WPDocument::parse(&input, &gen, nullptr) != libwpd::WPD_OK) return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
  return Finish(text, gen);
}

namespace {

// Works 2 and 3 files (not OLE2) name their own length at 0x2A; a shorter file was cut.
bool WorksFileCut(const std::string& path) {
  const std::string head = ReadFileHead(path, 0x2E);
  if (head.size() < 2 || static_cast<unsigned char>(head[1]) != 0xFE ||
      static_cast<unsigned char>(head[0]) > 7)
    return false;
  if (head.size() < 0x2E) return true;
  std::uint32_t declared = 0;
  for (int i = 3; i >= 0; --i)
    declared = (declared << 8) | static_cast<unsigned char>(head[0x2A + i]);
  return declared > base::FileSize(path).value_or(0);
}

}  // namespace

std::optional<WpDocument> ReadWorksText(std::string_view path) {
  const std::string p(path);
  if (WorksFileCut(p)) return std::nullopt;
  librevenge::RVNGFileStream input(p.c_str());
  libwps::WPSKind kind = libwps::WPS_TEXT;
  libwps::WPSCreator creator = libwps::WPS_MSWORKS;
  bool needEncoding = false;
  try {
    if (libwps::WPSDocument::isFileFormatSupported(&input, kind, creator, needEncoding) !=
            libwps::WPS_CONFIDENCE_EXCELLENT ||
        kind != libwps::WPS_TEXT)
      return std::nullopt;
    librevenge::RVNGString text;
    TextWithMetaData gen(text);
    if (libwps::WPSDocument::parse(&input, &gen, "", needEncoding ? kLegacyTextEncoding : "") !=
        libwps::WPS_OK)
      return std::nullopt;
    return Finish(text, gen);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace zyl::extract
