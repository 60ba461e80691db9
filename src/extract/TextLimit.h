// How much text one document may give. A huge file (a log of a gigabyte, a mailbox's one giant
// message) would otherwise be read, decoded and copied whole, several times its size in memory,
// only for the database to refuse the row. Readers read a bounded leading part where the format
// allows, and what they give is cut to [Build] MaxTextBytes; the build says when it cut.
#pragma once

#include <cstdint>
#include <string>

namespace zyl::extract {

// [Build] MaxTextBytes.
std::uint64_t MaxTextBytes();
// How many bytes of a markup file (HTML, RTF, mail) are read for that much text: markup is
// mostly tags and codes.
std::uint64_t MaxMarkupBytes();

// Cuts UTF-8 text to at most maxBytes without splitting a character; true when it cut.
bool CutText(std::string& text, std::uint64_t maxBytes);

// The leading part of a file ends where the reading stopped, maybe inside a character: drops an
// unfinished UTF-8 sequence at the end, and the odd last byte of UTF-16 text with a byte-order
// mark, so that the part is decoded as the whole file would be.
void TrimPartialCharacter(std::string& bytes);

}  // namespace zyl::extract
