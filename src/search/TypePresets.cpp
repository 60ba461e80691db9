#include "search/TypePresets.h"

#include <string_view>

#include "extract/DocumentTypes.h"

namespace zyl::search {

namespace {

void Check(std::array<bool, kTypePositions>& checks,
           std::initializer_list<std::string_view> codes) {
  for (int p = 1; p <= kTypePositions; ++p) {
    for (std::string_view code : codes) {
      if (extract::SearchTypeAt(p) == code) checks[static_cast<std::size_t>(p - 1)] = true;
    }
  }
}

}  // namespace

void ApplyTypePreset(std::array<bool, kTypePositions>& checks, TypePreset preset) {
  switch (preset) {
    case TypePreset::SelectAll:
      checks.fill(true);
      break;
    case TypePreset::SelectNone:
      checks.fill(false);
      break;
    case TypePreset::Invert:
      for (bool& b : checks) b = !b;
      break;
    case TypePreset::Mailboxes:
      Check(checks, {"mail_moz", "mail_oe"});
      break;
    case TypePreset::Office:
      Check(checks, {"doc", "xls", "dot", "xlt"});
      break;
  }
}

}  // namespace zyl::search
