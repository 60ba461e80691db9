// The table of an index database: its name and the stored lengths of its short columns. Rows
// are cut to these lengths in code points when they are stored; the location and the content
// are stored whole.
#pragma once

#include <cstddef>

#include "db/Ast.h"

namespace zyl::catalog {

using db::kTableName;

inline constexpr std::size_t kAuthorLength = 50;
inline constexpr std::size_t kTitleLength = 255;
inline constexpr std::size_t kTypeLength = 10;

// Rows appended in one transaction by a build or update: a crash loses at most this many.
inline constexpr std::size_t kCommitGroup = 300;

}  // namespace zyl::catalog
