#pragma once

#include <string_view>

namespace qinglan::platform {

// The text without the spaces, tabs and line ends around it.
inline std::string_view trimWhitespace(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos)
    return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace qinglan::platform
