#include "extract/books/EpubReader.h"

#include <map>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/TextLimit.h"
#include "extract/books/BookText.h"
#include "extract/container/XmlText.h"
#include "extract/container/ZipPackage.h"
#include "extract/core/CodePages.h"
#include "extract/html/HtmlEntities.h"
#include "extract/html/HtmlText.h"

namespace zyl::extract {

namespace {

constexpr std::string_view kDublinCore = "http://purl.org/dc/elements/1.1/";

// Gathers the attributes of the elements a reader asks for, with the element stack as local
// names, for the small XML parts of the package (container, encryption, package document).
class PartHandler : public XmlHandler {
 public:
  void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    stack_.emplace_back(name.local);
    Start(name, attributes);
  }
  void EndElement(const XmlName&) override {
    if (!stack_.empty()) stack_.pop_back();
  }

 protected:
  virtual void Start(const XmlName& name, std::span<const XmlAttribute> attributes) = 0;
  bool Under(std::string_view local) const {
    for (std::size_t i = 0; i + 1 < stack_.size(); ++i)
      if (base::AsciiLower(stack_[i]) == local) return true;
    return false;
  }
  std::vector<std::string> stack_;
};

std::string Attribute(std::span<const XmlAttribute> attributes, std::string_view local) {
  const auto value = FindAttribute(attributes, "", local);
  return value ? std::string(*value) : std::string();
}

// META-INF/container.xml: the first rootfile's full-path.
class ContainerHandler : public PartHandler {
 public:
  std::string rootfile;

 private:
  void Start(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (name.local == "rootfile" && rootfile.empty()) rootfile = Attribute(attributes, "full-path");
  }
};

// META-INF/encryption.xml: whether anything but fonts is encrypted. Publishers obfuscate
// embedded fonts with a rule anyone can undo; that leaves the text readable.
class EncryptionHandler : public PartHandler {
 public:
  bool contentEncrypted = false;

 private:
  void Start(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    if (name.local != "EncryptionMethod" || !Under("encrypteddata")) return;
    const std::string algorithm = Attribute(attributes, "Algorithm");
    if (algorithm != "http://www.idpf.org/2008/embedding" &&
        algorithm != "http://ns.adobe.com/pdf/enc#RC")
      contentEncrypted = true;
  }
};

// The package document: title, creators, the manifest's items and the spine's order.
class PackageHandler : public PartHandler {
 public:
  std::string title;
  std::vector<std::string> creators;
  struct Item {
    std::string href;
    std::string mediaType;
  };
  std::map<std::string, Item> manifest;  // by id
  std::vector<std::string> spine;        // idrefs

  void Text(std::string_view piece) override {
    if (field_) AddToField(*field_, piece);
  }
  void EndElement(const XmlName& name) override {
    field_ = nullptr;
    PartHandler::EndElement(name);
  }

 private:
  void Start(const XmlName& name, std::span<const XmlAttribute> attributes) override {
    field_ = nullptr;
    // Older packages write dc:Title and dc:Creator, and some leave out the namespace.
    const std::string local = base::AsciiLower(name.local);
    const bool metadata = Under("metadata") && (name.uri == kDublinCore || name.uri.empty());
    if (metadata && local == "title" && !sawTitle_) {
      sawTitle_ = true;
      field_ = &title;
    } else if (metadata && local == "creator") {
      creators.emplace_back();
      field_ = &creators.back();
    } else if (local == "item" && Under("manifest")) {
      manifest.emplace(Attribute(attributes, "id"),
                       Item{Attribute(attributes, "href"), Attribute(attributes, "media-type")});
    } else if (local == "itemref" && Under("spine")) {
      spine.push_back(Attribute(attributes, "idref"));
    }
  }
  std::string* field_ = nullptr;
  bool sawTitle_ = false;
};

// The text of an XHTML chapter's body; scripts and styles are no text.
class ChapterHandler : public XmlHandler {
 public:
  explicit ChapterHandler(BookText& text) : text_(text) {}
  void SetParser(XmlParser* parser) { parser_ = parser; }

  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    const std::string local = base::AsciiLower(name.local);
    if (local == "body") ++body_;
    if (local == "script" || local == "style") ++hidden_;
    if (local == "br" && body_) text_.EndBlock();
  }
  void EndElement(const XmlName& name) override {
    const std::string local = base::AsciiLower(name.local);
    if (local == "body" && body_) --body_;
    if ((local == "script" || local == "style") && hidden_) --hidden_;
    if (body_ && IsBlock(local)) text_.EndBlock();
  }
  void Text(std::string_view piece) override {
    if (!body_ || hidden_) return;
    text_.Add(piece);
    if (text_.full()) parser_->Stop();
  }
  void SkippedEntity(std::string_view name) override {
    // Chapters that name the XHTML document type use its entities (&nbsp;, &mdash;).
    if (body_ && !hidden_) text_.Add(DecodeHtmlEntities("&" + std::string(name) + ";"));
  }

 private:
  static bool IsBlock(std::string_view name) {
    static constexpr std::string_view kBlocks[] = {
        "p",  "div", "h1", "h2",  "h3", "h4",         "h5",      "h6",    "li",
        "tr", "dt",  "dd", "pre", "hr", "blockquote", "section", "table", "title"};
    for (const std::string_view b : kBlocks)
      if (name == b) return true;
    return false;
  }
  BookText& text_;
  XmlParser* parser_ = nullptr;
  int body_ = 0;
  int hidden_ = 0;
};

// A part's bytes, at most `limit` of them; `cut` says whether it held more.
bool ReadPart(ZipPackage& zip, const std::string& member, std::uint64_t limit, std::string& out,
              bool& cut, ZipError& error) {
  out.clear();
  cut = false;
  error = zip.ReadMember(member, [&](std::string_view piece) {
    if (out.size() + piece.size() > limit) {
      out.append(piece.substr(0, static_cast<std::size_t>(limit - out.size())));
      cut = true;
      return false;
    }
    out.append(piece);
    return true;
  });
  return error == ZipError::None;
}

// The path a package's href names: relative to the package document's folder, percent-escapes
// decoded, the fragment dropped, "." and ".." resolved (never above the zip's root).
std::string ResolveHref(std::string_view base, std::string_view href) {
  href = href.substr(0, href.find('#'));
  std::string decoded;
  for (std::size_t i = 0; i < href.size(); ++i) {
    const auto hex = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (href[i] == '%' && i + 2 < href.size() && hex(href[i + 1]) >= 0 && hex(href[i + 2]) >= 0) {
      decoded += static_cast<char>(hex(href[i + 1]) * 16 + hex(href[i + 2]));
      i += 2;
    } else {
      decoded += href[i];
    }
  }
  const std::string joined =
      decoded.starts_with("/") ? decoded.substr(1) : std::string(base) + decoded;
  std::vector<std::string> parts;
  for (std::string& part : base::Split(joined, "/")) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

// A chapter that is not well-formed XHTML, read as the HTML reader reads a page.
std::string ChapterAsHtml(std::string_view bytes) {
  std::string text = base::IsValidUtf8(bytes) ? std::string(bytes) : AutoRecode(bytes);
  text = StripCommentsAndScripts(text);
  const std::size_t body = base::FindAsciiNoCase(text, "<body");
  if (body != std::string::npos) text.erase(0, body);
  return CollapseBlanks(DecodeHtmlEntities(HtmlTagsToText(text)));
}

// Parses a small part of the package; false when it is missing, damaged or declares entities.
bool ParsePart(ZipPackage& zip, std::string_view name, XmlHandler& handler) {
  const std::string member = zip.FindMember(name);
  if (member.empty()) return false;
  std::string bytes;
  bool cut = false;
  ZipError error = ZipError::None;
  // Package parts are a few kilobytes; a part of many megabytes is no package.
  if (!ReadPart(zip, member, 16 << 20, bytes, cut, error) || cut) return false;
  return ParseXml(bytes, handler) == XmlError::None;
}

FileInfo ReadEpub(std::string_view path) {
  ZipPackage zip = ZipPackage::OpenFile(path);
  if (!zip.ok()) return ErrorInfo(zip.error() == ZipError::Encrypted);
  if (zip.HasEncryptedMembers()) return ErrorInfo(true);

  if (!zip.FindMember("META-INF/encryption.xml").empty()) {
    EncryptionHandler encryption;
    if (!ParsePart(zip, "META-INF/encryption.xml", encryption)) return ErrorInfo();
    if (encryption.contentEncrypted) return ErrorInfo(true);
  }
  ContainerHandler container;
  if (!ParsePart(zip, "META-INF/container.xml", container) || container.rootfile.empty())
    return ErrorInfo();
  PackageHandler package;
  if (!ParsePart(zip, container.rootfile, package)) return ErrorInfo();
  const std::size_t slash = container.rootfile.rfind('/');
  const std::string base =
      slash == std::string::npos ? std::string() : container.rootfile.substr(0, slash + 1);

  const std::uint64_t maxText = MaxTextBytes();
  std::string content;
  bool textCut = false;
  bool anyChapter = false;
  std::string bytes;
  for (const std::string& idref : package.spine) {
    if (content.size() > maxText) break;
    const auto item = package.manifest.find(idref);
    if (item == package.manifest.end()) continue;
    // Picture books put images in the spine: they hold no text to read.
    const std::string type = base::AsciiLower(item->second.mediaType);
    if (!type.empty() && type.find("html") == std::string::npos) continue;
    const std::string member = zip.FindMember(ResolveHref(base, item->second.href));
    if (member.empty()) continue;
    bool cut = false;
    ZipError error = ZipError::None;
    if (!ReadPart(zip, member, MaxMarkupBytes(), bytes, cut, error)) {
      if (error == ZipError::Encrypted) return ErrorInfo(true);
      // Past the package's bounds nothing more can be read; a damaged chapter is passed over.
      if (error == ZipError::TooLarge) return ErrorInfo();
      continue;
    }
    BookText text(maxText);
    ChapterHandler handler(text);
    XmlParser parser(handler);
    handler.SetParser(&parser);
    parser.Feed(bytes, !cut);
    std::string chapter;
    if (parser.error() == XmlError::Malformed && !cut) {
      chapter = ChapterAsHtml(bytes);
    } else if (parser.error() == XmlError::EntityRefused) {
      continue;
    } else {
      textCut = textCut || text.full() || cut;
      chapter = text.Take();
    }
    anyChapter = true;
    if (chapter.empty()) continue;
    if (!content.empty()) content += '\n';
    content += chapter;
  }
  if (!anyChapter) return ErrorInfo();

  FileInfo info;
  info.textCut = CutText(content, maxText) || textCut;
  info.content = std::move(content);
  info.title = CollapseBlanks(package.title);
  std::string authors;
  for (const std::string& c : package.creators) {
    const std::string name = CollapseBlanks(c);
    if (name.empty()) continue;
    authors += (authors.empty() ? "" : ", ") + name;
  }
  info.author = std::move(authors);
  info.type = "epub";
  return info;
}

}  // namespace

FileInfo GetEpubInfo(std::string_view path) {
  try {
    return ReadEpub(path);
  } catch (...) {
    // Out of memory on a hostile book is a failed document, never a failed run.
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
