#include "extract/container/XmlText.h"

#include <expat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "extract/core/Charsets.h"

namespace zyl::extract {

namespace {

// Between a name's namespace URI and its local part in what expat hands over. U+001F may not
// appear in an XML document, even as a reference, so it cannot be part of a URI.
constexpr char kNamespaceSeparator = '\x1f';

XmlName SplitName(const XML_Char* name) {
  const std::string_view whole(name);
  const auto cut = whole.rfind(kNamespaceSeparator);
  if (cut == std::string_view::npos) return {{}, whole};
  return {whole.substr(0, cut), whole.substr(cut + 1)};
}

// The code point of a UTF-8 text holding exactly one character, else -1.
int SingleCodePoint(std::string_view utf8) {
  if (utf8.empty()) return -1;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  int cp = -1;
  if (utf8.size() == 1 && b(0) < 0x80)
    cp = b(0);
  else if (utf8.size() == 2 && (b(0) & 0xE0) == 0xC0)
    cp = ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
  else if (utf8.size() == 3 && (b(0) & 0xF0) == 0xE0)
    cp = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  return cp == 0xFFFD ? -1 : cp;
}

// Documents declared in a single-byte character set expat does not know itself (old books are
// often windows-1251 or koi8-r): a table of the 256 bytes made with the program's converters.
// Multi-byte sets give no table and the document fails as unreadable.
int UnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  for (int byte = 0; byte < 256; ++byte) {
    const auto text = RecodeCharset(std::string(1, static_cast<char>(byte)), name);
    if (!text) return XML_STATUS_ERROR;
    info->map[byte] = SingleCodePoint(*text);
  }
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

}  // namespace

std::optional<std::string_view> FindAttribute(std::span<const XmlAttribute> attributes,
                                              std::string_view uri, std::string_view local) {
  for (const auto& a : attributes)
    if (a.name.Is(uri, local)) return a.value;
  return std::nullopt;
}

struct XmlParser::Impl {
  XmlParser& owner;
  XmlHandler& handler;
  XML_Parser parser = nullptr;
  std::vector<XmlAttribute> attributes;

  Impl(XmlParser& o, XmlHandler& h) : owner(o), handler(h) {}
  ~Impl() {
    if (parser != nullptr) XML_ParserFree(parser);
  }

  static Impl& Of(void* data) { return *static_cast<Impl*>(data); }

  void Refuse() {
    owner.error_ = XmlError::EntityRefused;
    XML_StopParser(parser, XML_FALSE);
  }

  static void OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
    Impl& self = Of(data);
    self.attributes.clear();
    for (const XML_Char** a = atts; a[0] != nullptr && a[1] != nullptr; a += 2)
      self.attributes.push_back({SplitName(a[0]), a[1]});
    self.handler.StartElement(SplitName(name), self.attributes);
  }
  static void OnEnd(void* data, const XML_Char* name) {
    Of(data).handler.EndElement(SplitName(name));
  }
  static void OnText(void* data, const XML_Char* s, int len) {
    Of(data).handler.Text(std::string_view(s, static_cast<std::size_t>(len)));
  }
  static void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*,
                        int hasInternalSubset) {
    if (hasInternalSubset) Of(data).Refuse();
  }
  static void OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                           const XML_Char*, const XML_Char*, const XML_Char*) {
    Of(data).Refuse();
  }
  static void OnSkippedEntity(void* data, const XML_Char* name, int isParameterEntity) {
    if (!isParameterEntity) Of(data).handler.SkippedEntity(name);
  }
};

XmlParser::XmlParser(XmlHandler& handler) : impl_(std::make_unique<Impl>(*this, handler)) {
  XML_Parser p = XML_ParserCreateNS(nullptr, kNamespaceSeparator);
  impl_->parser = p;
  if (p == nullptr) {
    error_ = XmlError::Malformed;
    return;
  }
  XML_SetUserData(p, impl_.get());
  XML_SetElementHandler(p, &Impl::OnStart, &Impl::OnEnd);
  XML_SetCharacterDataHandler(p, &Impl::OnText);
  XML_SetStartDoctypeDeclHandler(p, &Impl::OnDoctype);
  XML_SetEntityDeclHandler(p, &Impl::OnEntityDecl);
  XML_SetSkippedEntityHandler(p, &Impl::OnSkippedEntity);
  XML_SetUnknownEncodingHandler(p, &UnknownEncoding, nullptr);
  XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlParser::~XmlParser() = default;

bool XmlParser::Feed(std::string_view piece, bool isFinal) {
  if (error_ != XmlError::None) return false;
  // expat takes an int length: a long piece goes in slices.
  constexpr std::size_t kSlice = 1 << 20;
  do {
    const std::size_t n = std::min(piece.size(), kSlice);
    const bool last = isFinal && n == piece.size();
    const auto status = XML_Parse(impl_->parser, piece.data(), static_cast<int>(n), last);
    if (error_ != XmlError::None) return false;  // refused or stopped by a handler
    if (status != XML_STATUS_OK) {
      error_ = XmlError::Malformed;
      return false;
    }
    piece.remove_prefix(n);
  } while (!piece.empty());
  return true;
}

void XmlParser::Stop() {
  if (error_ != XmlError::None) return;
  error_ = XmlError::Stopped;
  if (impl_->parser != nullptr) XML_StopParser(impl_->parser, XML_FALSE);
}

XmlError ParseXml(std::string_view document, XmlHandler& handler) {
  XmlParser parser(handler);
  parser.Feed(document, true);
  return parser.error();
}

}  // namespace zyl::extract
