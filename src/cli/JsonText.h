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

// The printable JSON string of a text that repeats from one row to the next, such as the rows'
// folder: escaped again only when the text changes.
class RepeatedJsonString {
 public:
  const std::string& of(std::string_view text);

 private:
  std::string m_text;
  std::string m_json;
  std::string m_storage;
};

}  // namespace qinglan::cli
