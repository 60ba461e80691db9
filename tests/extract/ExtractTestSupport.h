// Helpers of the extraction tests: text in a given code page.
#pragma once

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <string>
#include <string_view>

namespace zyl::extract::testing {

// UTF-8 text converted to a code page by ICU, an implementation independent of ours.
inline std::string Encode(std::string_view utf8, const char* codePage) {
  UErrorCode err = U_ZERO_ERROR;
  std::string out(utf8.size() * 4 + 16, '\0');
  const int32_t n = ucnv_convert(codePage, "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                                 utf8.data(), static_cast<int32_t>(utf8.size()), &err);
  EXPECT_TRUE(U_SUCCESS(err)) << u_errorName(err);
  out.resize(n);
  return out;
}

}  // namespace zyl::extract::testing
