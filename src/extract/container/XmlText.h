// Streaming XML for the parts of packaged documents (office parts, e-book chapters, books):
// expat underneath, namespaces resolved, the text handed over as it comes. Documents come from
// anywhere, so a document type with an internal subset or any entity declaration makes the
// part an error (entity expansion is how a few kilobytes become gigabytes), and expat's own
// amplification guard stays on. External entities are never loaded.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zyl::extract {

// An element or attribute name: its namespace URI (empty when it has none) and local part.
struct XmlName {
  std::string_view uri;
  std::string_view local;
  bool Is(std::string_view u, std::string_view l) const { return local == l && uri == u; }
};

struct XmlAttribute {
  XmlName name;
  std::string_view value;
};

// The value of the attribute named (uri, local), nullopt when absent.
std::optional<std::string_view> FindAttribute(std::span<const XmlAttribute> attributes,
                                              std::string_view uri, std::string_view local);

// What a reader of one part does with it. Views are valid only during the call.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes) {}
  virtual void EndElement(const XmlName& name) {}
  // Character data, UTF-8, in pieces: one run of text may come in several calls.
  virtual void Text(std::string_view text) {}
  // A reference to an entity that an external document type would define (&nbsp; in an XHTML
  // page that names its DTD); nothing is inserted unless the handler does it here.
  virtual void SkippedEntity(std::string_view name) {}
};

enum class XmlError {
  None,
  Malformed,      // not well-formed, or in an encoding that cannot be read
  EntityRefused,  // an internal document type subset or an entity declaration
  Stopped,        // the handler called Stop(): not a failure of the document
};

// One document fed in pieces. The encoding comes from the document's declaration or mark:
// UTF-8, UTF-16, and single-byte character sets by name (windows-1251, koi8-r...).
class XmlParser {
 public:
  explicit XmlParser(XmlHandler& handler);
  ~XmlParser();
  XmlParser(const XmlParser&) = delete;
  XmlParser& operator=(const XmlParser&) = delete;

  // Parses the next piece (isFinal for the last one; an empty final piece ends the document).
  // False once the document failed or was stopped; error() says which.
  bool Feed(std::string_view piece, bool isFinal = false);
  bool Finish() { return Feed({}, true); }
  // Ends the parsing from inside a handler call, e.g. when enough text was gathered.
  void Stop();
  XmlError error() const { return error_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  XmlError error_ = XmlError::None;
};

// Parses a whole document held in memory; None, or why it failed or stopped.
XmlError ParseXml(std::string_view document, XmlHandler& handler);

}  // namespace zyl::extract
