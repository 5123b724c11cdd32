#pragma once

#include <charconv>
#include <iterator>
#include <string>
#include <string_view>

namespace qinglan::cli {

// Appends `text`, which must be valid UTF-8, as a JSON string. Text that needs no escape is copied
// as it is; only the rest goes through the JSON library, which is far slower per row.
void appendJsonString(std::string& out, std::string_view text);

// Appends an integer in decimal, without the locale.
template <typename Number>
void appendNumber(std::string& out, Number value) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  out.append(digits, result.ptr);
}

}  // namespace qinglan::cli
