// EPUB e-books: a zip whose META-INF/container.xml names the package document (OPF), which lists
// the book's title (dc:title), authors (dc:creator) and chapters (the spine). The text is the
// chapters' text in spine order, one paragraph a line.
#pragma once

#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// The book at `path`, stored type "epub". A spine item the package lacks is passed over; a book
// none of whose chapters can be read is an error. A chapter that is not well-formed XHTML is read
// as HTML. Never throws; a damaged zip or package document, a package document declaring
// entities, or a zip past its bounds gives ErrorInfo(); a book whose chapters are encrypted
// (META-INF/encryption.xml, DRM) or a zip with encrypted members gives ErrorInfo() with
// passwordRequired. Fonts obfuscated by the publisher's font rule do not count as encryption.
FileInfo GetEpubInfo(std::string_view path);

}  // namespace zyl::extract
