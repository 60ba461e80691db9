// One XML part of a zip package streamed through a handler, and the small texts (titles,
// authors) that metadata parts hold.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/container/XmlText.h"
#include "extract/container/ZipPackage.h"

namespace zyl::extract {

struct PartStatus {
  ZipError zip = ZipError::None;
  XmlError xml = XmlError::None;
  // Read whole, or stopped on purpose (enough text).
  bool ok() const {
    return zip == ZipError::None && (xml == XmlError::None || xml == XmlError::Stopped);
  }
  bool passwordRequired() const { return zip == ZipError::Encrypted; }
};

// Streams the part through the handler. `enough`, when given, is asked between pieces and
// ends the reading (status Stopped) once it says true. Never throws.
PartStatus ParsePart(ZipPackage& zip, std::string_view part, XmlHandler& handler,
                     const std::function<bool()>& enough = {});

// The text of the first element of each wanted name in the part (whitespace runs made one
// blank, ends trimmed), in the order of `wanted`; empty texts for names not found and for a
// part that cannot be read.
std::vector<std::string> FirstElementTexts(ZipPackage& zip, std::string_view part,
                                           std::span<const XmlName> wanted);

// Whitespace runs (blank, TAB, CR, LF) as one blank, none at the ends.
std::string CollapseWhitespace(std::string_view text);

}  // namespace zyl::extract
