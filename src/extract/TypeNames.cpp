#include "extract/TypeNames.h"

#include <algorithm>
#include <array>

#include "extract/DocumentTypes.h"

namespace zyl::extract {

namespace {

// Both arrays are computed while compiling: the table itself, with its reader functions, is
// never referred to by this file's code, so linking it does not bring the readers along.
constexpr auto kCodes = [] {
  std::array<std::string_view, std::size(kDocumentTypeTable)> codes{};
  for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = kDocumentTypeTable[i].code;
  return codes;
}();

// Stored types in table order, each once: the two PDF modes share "pdf".
constexpr auto kSearchTypes = [] {
  std::array<std::string_view, kSearchTypeCount> types{};
  std::size_t n = 0;
  for (const DocumentType& t : kDocumentTypeTable)
    if (std::find(types.begin(), types.begin() + n, t.storedType) == types.begin() + n)
      types[n++] = t.storedType;
  return types;
}();

}  // namespace

std::span<const std::string_view> DocumentTypeCodes() {
  return kCodes;
}

std::span<const std::string_view> SearchTypes() {
  return kSearchTypes;
}

std::string_view SearchTypeAt(int position) {
  if (position < 1 || position > static_cast<int>(kSearchTypes.size())) return {};
  return kSearchTypes[static_cast<std::size_t>(position - 1)];
}

int SearchTypePosition(std::string_view storedType) {
  const auto it = std::find(kSearchTypes.begin(), kSearchTypes.end(), storedType);
  return it == kSearchTypes.end() ? 0 : static_cast<int>(it - kSearchTypes.begin()) + 1;
}

}  // namespace zyl::extract
