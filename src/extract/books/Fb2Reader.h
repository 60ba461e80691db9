// FictionBook books (.fb2, and .fb2.zip: a zip holding the book): the text of the book's bodies
// in order, one paragraph a line; the title from the description's book-title; the authors'
// first, middle and last names. Embedded images (binary elements) are skipped unread.
#pragma once

#include <string_view>

#include "extract/FileInfo.h"

namespace zyl::extract {

// The book at `path`, stored type "fb2". A zip (by its content, whatever the name) is read for
// its first member named *.fb2, else its only member. The encoding is the one the XML
// declaration names (windows-1251 and koi8-r books are common); a book whose declaration claims
// UTF-8 while its bytes are a Cyrillic code page is read in the code page the detector finds.
// Never throws; a damaged book, a document type declaring entities, or a zip past its bounds
// gives ErrorInfo(), an encrypted zip with passwordRequired.
FileInfo GetFb2Info(std::string_view path);

}  // namespace zyl::extract
