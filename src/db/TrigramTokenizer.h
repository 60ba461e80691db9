// The tokenizer of the substring index, "zyl_trigram".
//
// A row's entry is written from SubstringIndexText: each distinct trigram (run of three code
// points) of the folded content once, each after a byte that gives its length. The tokenizer
// hands those trigrams to the engine in turn instead of every window of the text. A text
// holds most of its trigrams many times over, and the engine looks every token up in its hash
// of pending terms on the one thread that writes: given each trigram once, a build's writer
// does a third of that work, while the extraction threads find the distinct trigrams in
// parallel. A query's text is read as the engine's own trigram tokenizer reads it: every
// window of three code points, so a quoted three-character term is one token.
//
// Code points are told apart by their UTF-8 lead bytes alone, the same way on both sides, so
// any bytes (a damaged database is outside input) give tokens of at most twelve bytes and never
// a read past the text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct sqlite3;

namespace zyl::db {

inline constexpr const char* kTrigramTokenizer = "zyl_trigram";

// Makes the tokenizer known to the connection's full-text engine. Throws DbError when the
// engine has no full-text module.
void RegisterTrigramTokenizer(sqlite3* db);

// Calls `token(start, end)` with the byte range of each token of `text`: in `document` mode the
// length-prefixed trigrams in turn (a length that is zero, over twelve or past the end ends the
// text), otherwise every window of three code points. Stops when `token` returns false.
void SplitTrigrams(std::string_view text, bool document,
                   const std::function<bool(std::size_t, std::size_t)>& token);

// The distinct trigrams of `folded`, each once and after its length in bytes, in the order of
// their first occurrence.
std::string DistinctTrigrams(std::string_view folded);

}  // namespace zyl::db
