// Character references of HTML text ("&laquo;", "&#1055;", "&#x41F;") turned into the characters
// they stand for, as browsers read them in running text.
#pragma once

#include <string>
#include <string_view>

namespace zyl::extract {

// The UTF-8 text with every named, decimal and hexadecimal character reference decoded. Named
// references need their ";" except the old ones browsers accept without it ("&copy 2002"); a
// numeric reference may omit it. Numbers 128-159 are read as Windows-1252, as browsers do (pages
// write "&#151;" for a dash); zero, surrogates and numbers beyond Unicode give U+FFFD. A
// non-breaking space becomes a plain blank, so that words on both sides stay apart for the
// search. Anything that is no reference stays as written.
std::string DecodeHtmlEntities(std::string_view text);
// The same for a text the caller gives up; a text without "&" comes back without a copy.
std::string DecodeHtmlEntities(std::string&& text);

// The text with runs of blanks, tabs and line breaks made one blank, trimmed at both ends.
std::string CollapseBlanks(std::string_view text);

}  // namespace zyl::extract
