// The presets of the search window's document-type list (its "Scheme" menu): whole-list
// changes and the two groups a person asks for most.
#pragma once

#include <array>

#include "search/SearchRequest.h"

namespace zyl::search {

enum class TypePreset { SelectAll, SelectNone, Invert, Mailboxes, Office };

// Applies `preset` to the check marks of every position (index = position - 1). The mailbox and
// office presets add their checks and clear none.
void ApplyTypePreset(std::array<bool, kTypePositions>& checks, TypePreset preset);

}  // namespace zyl::search
