#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

// The separators a path given to the system may hold: Windows takes "/" as well as "\".
#ifdef _WIN32
inline constexpr std::string_view kSeparators = "\\/";
#else
inline constexpr std::string_view kSeparators = "/";
#endif

// The names of a path below a folder, in order; doubled or trailing separators give none.
inline std::vector<std::string> pathNames(std::string_view relative) {
  std::vector<std::string> names;
  while (!relative.empty()) {
    const size_t end = std::min(relative.find_first_of(kSeparators), relative.size());
    if (end > 0)
      names.emplace_back(relative.substr(0, end));
    relative.remove_prefix(std::min(end + 1, relative.size()));
  }
  return names;
}

// Splits off the last component; trailing separators are ignored. `parent` is empty when the
// path has a single component.
inline PathParts splitPath(std::string_view path) {
  while (path.size() > 1 && kSeparators.find(path.back()) != std::string_view::npos)
    path.remove_suffix(1);
  const size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string_view::npos)
    return {{}, std::string(path)};
  // A root keeps its separator: "/" here, "C:\\" on Windows.
  const bool atRoot = slash == 0 || (kSeparator == '\\' && slash == 2 && path[1] == ':');
  return {std::string(path.substr(0, atRoot ? slash + 1 : slash)), std::string(path.substr(slash + 1))};
}

}  // namespace qinglan::platform
