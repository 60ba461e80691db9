// Text in a named character set (a mail's charset parameter, a workbook's code page) recoded to
// program text through ICU's converters, which know every name and alias in use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zyl::extract {

// The bytes, written in the named character set (any name or alias the converters know,
// letter case ignored), as UTF-8; malformed sequences become U+FFFD. nullopt when the name is
// empty or unknown. Never throws.
std::optional<std::string> RecodeCharset(std::string_view bytes, std::string_view charset);

}  // namespace zyl::extract
