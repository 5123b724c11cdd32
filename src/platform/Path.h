#pragma once

#include <string>
#include <string_view>

namespace qinglan::platform {

// The separator that stands wherever the stored texts and the Windows original use "\".
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

inline bool endsWithSeparator(std::string_view path) {
  return !path.empty() && path.back() == kSeparator;
}

inline std::string withTrailingSeparator(std::string path) {
  if (!endsWithSeparator(path))
    path += kSeparator;
  return path;
}

struct PathParts {
  std::string parent;
  std::string name;
};

// Splits off the last component; trailing separators are ignored. `parent` is empty when the
// path has a single component.
inline PathParts splitPath(std::string_view path) {
  while (path.size() > 1 && path.back() == kSeparator)
    path.remove_suffix(1);
  const size_t slash = path.rfind(kSeparator);
  if (slash == std::string_view::npos)
    return {{}, std::string(path)};
  // A root keeps its separator: "/" here, "C:\\" on Windows.
  const bool atRoot = slash == 0 || (kSeparator == '\\' && slash == 2 && path[1] == ':');
  return {std::string(path.substr(0, atRoot ? slash + 1 : slash)), std::string(path.substr(slash + 1))};
}

}  // namespace qinglan::platform
