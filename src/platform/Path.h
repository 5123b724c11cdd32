#pragma once

#include <string>
#include <string_view>

namespace qinglan::platform {

// The separator that stands wherever the stored texts and the Windows original use "\".
inline constexpr char kSeparator = '/';

inline bool endsWithSeparator(std::string_view path) {
  return !path.empty() && path.back() == kSeparator;
}

inline std::string withTrailingSeparator(std::string path) {
  if (!endsWithSeparator(path)) path += kSeparator;
  return path;
}

}  // namespace qinglan::platform
