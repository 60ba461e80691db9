#include "extract/office/OoxmlPackage.h"

#include <algorithm>

#include "extract/container/PackagePart.h"
#include "extract/container/XmlText.h"
#include "extract/core/OfficeText.h"
#include "extract/office/OleProperties.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kPackageRelationshipsNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kContentTypesNs =
    "http://schemas.openxmlformats.org/package/2006/content-types";
// Relationship and content-type parts are small lists.
constexpr std::uint64_t kMaxListBytes = 16 << 20;

std::string_view FolderOf(std::string_view part) {
  const auto slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash);
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

class RelationshipList : public XmlHandler {
 public:
  RelationshipList(std::string_view sourcePart, std::vector<OoxmlRelationship>& out)
      : source_(sourcePart), out_(out) {}
  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (!name.Is(kPackageRelationshipsNs, "Relationship")) return;
    OoxmlRelationship r;
    r.id = std::string(FindAttribute(attributes, "", "Id").value_or(""));
    r.type = std::string(FindAttribute(attributes, "", "Type").value_or(""));
    const std::string_view target = FindAttribute(attributes, "", "Target").value_or("");
    r.external = FindAttribute(attributes, "", "TargetMode").value_or("") == "External";
    r.target = r.external ? std::string(target) : ResolvePartName(source_, target);
    if (!r.target.empty()) out_.push_back(std::move(r));
  }

 private:
  std::string_view source_;
  std::vector<OoxmlRelationship>& out_;
};

class ContentTypes : public XmlHandler {
 public:
  explicit ContentTypes(std::string_view part) : part_(AsciiLower(part)) {
    const auto dot = part_.rfind('.');
    if (dot != std::string::npos && dot > part_.rfind('/') + 1) extension_ = part_.substr(dot + 1);
  }
  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (name.uri != kContentTypesNs) return;
    const std::string type(FindAttribute(attributes, "", "ContentType").value_or(""));
    if (name.local == "Override") {
      const std::string_view partName = FindAttribute(attributes, "", "PartName").value_or("");
      if (AsciiLower(partName) == "/" + part_) override_ = type;
    } else if (name.local == "Default") {
      if (AsciiLower(FindAttribute(attributes, "", "Extension").value_or("")) == extension_)
        default_ = type;
    }
  }
  std::string Result() const { return override_.empty() ? default_ : override_; }

 private:
  std::string part_;
  std::string extension_;
  std::string override_;
  std::string default_;
};

}  // namespace

std::string ResolvePartName(std::string_view sourcePart, std::string_view target) {
  // Targets are URIs: a "#fragment" is no part of the name, and spaces come escaped.
  target = target.substr(0, target.find('#'));
  std::vector<std::string_view> segments;
  auto push = [&segments](std::string_view path) {
    while (!path.empty()) {
      const auto slash = path.find('/');
      const std::string_view segment = path.substr(0, slash);
      path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
      if (segment.empty() || segment == ".") continue;
      if (segment == "..") {
        if (segments.empty()) return false;
        segments.pop_back();
      } else {
        segments.push_back(segment);
      }
    }
    return true;
  };
  if (target.empty()) return {};
  if (target.front() != '/' && !push(FolderOf(sourcePart))) return {};
  if (!push(target)) return {};
  std::string out;
  for (const auto segment : segments) {
    if (!out.empty()) out += '/';
    out += segment;
  }
  // Percent-escapes (a space as %20) name the part's real characters.
  std::string decoded;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto hex = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (out[i] == '%' && i + 2 < out.size() && hex(out[i + 1]) >= 0 && hex(out[i + 2]) >= 0) {
      decoded += static_cast<char>(hex(out[i + 1]) * 16 + hex(out[i + 2]));
      i += 2;
    } else {
      decoded += out[i];
    }
  }
  return decoded;
}

std::vector<OoxmlRelationship> ReadRelationships(ZipPackage& zip, std::string_view part) {
  std::string relsPart;
  if (part.empty()) {
    relsPart = "_rels/.rels";
  } else {
    const std::string_view folder = FolderOf(part);
    const std::string_view file = part.substr(folder.empty() ? 0 : folder.size() + 1);
    relsPart = (folder.empty() ? std::string() : std::string(folder) + "/") + "_rels/" +
               std::string(file) + ".rels";
  }
  std::vector<OoxmlRelationship> out;
  std::string bytes;
  if (zip.ReadMember(relsPart, bytes, kMaxListBytes) != ZipError::None) return out;
  RelationshipList handler(part, out);
  if (ParseXml(bytes, handler) != XmlError::None) out.clear();
  return out;
}

const OoxmlRelationship* FindRelationship(const std::vector<OoxmlRelationship>& relationships,
                                          std::string_view kind) {
  for (const auto& r : relationships) {
    const std::string_view type = r.type;
    if (!r.external && type.size() > kind.size() && type.ends_with(kind) &&
        type[type.size() - kind.size() - 1] == '/')
      return &r;
  }
  return nullptr;
}

const OoxmlRelationship* FindRelationshipById(const std::vector<OoxmlRelationship>& relationships,
                                              std::string_view id) {
  for (const auto& r : relationships)
    if (r.id == id) return &r;
  return nullptr;
}

std::string ContentTypeOf(ZipPackage& zip, std::string_view part) {
  std::string bytes;
  if (zip.ReadMember("[Content_Types].xml", bytes, kMaxListBytes) != ZipError::None) return {};
  ContentTypes handler(part);
  if (ParseXml(bytes, handler) != XmlError::None) return {};
  return handler.Result();
}

bool IsEncryptedOoxml(std::string_view path) {
  static constexpr std::string_view kOleMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  if (ReadFileHead(path, kOleMagic.size()) != kOleMagic) return false;
  return ReadOleStream(path, "EncryptedPackage", 1).has_value();
}

bool IsOoxmlMain(std::string_view uri, std::string_view language) {
  constexpr std::string_view kTransitional = "http://schemas.openxmlformats.org/";
  constexpr std::string_view kStrict = "http://purl.oclc.org/ooxml/";
  if (uri.starts_with(kTransitional)) {
    uri.remove_prefix(kTransitional.size());
    return uri.starts_with(language) && uri.substr(language.size()) == "/2006/main";
  }
  if (uri.starts_with(kStrict)) {
    uri.remove_prefix(kStrict.size());
    return uri.starts_with(language) && uri.substr(language.size()) == "/main";
  }
  return false;
}

bool IsOoxmlRelationshipsNs(std::string_view uri) {
  return uri == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
         uri == "http://purl.oclc.org/ooxml/officeDocument/relationships";
}

}  // namespace zyl::extract
