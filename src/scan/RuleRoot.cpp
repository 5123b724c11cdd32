#include "scan/RuleRoot.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Path.h"

namespace qinglan {

namespace {

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string storedPathToLocal(std::string_view stored) {
  std::string local(stored);
  std::replace(local.begin(), local.end(), '\\', platform::kSeparator);
  return local;
}

bool climbsOutOfRoot(std::string_view stored) {
  const std::string local = storedPathToLocal(stored);
  if (!local.empty() && local.front() == platform::kSeparator)
    return true;
  if (local.size() >= 2 && isAsciiLetter(local[0]) && local[1] == ':')
    return true;
  size_t start = 0;
  while (start <= local.size()) {
    size_t end = local.find(platform::kSeparator, start);
    if (end == std::string::npos)
      end = local.size();
    if (std::string_view(local).substr(start, end - start) == "..")
      return true;
    start = end + 1;
  }
  return false;
}

std::optional<std::string> scanItemRoot(const std::string& contentFolder, std::string_view folder) {
  if (folder.empty())
    return contentFolder;
  if (climbsOutOfRoot(folder))
    return std::nullopt;
  return contentFolder + platform::kSeparator + storedPathToLocal(folder);
}

bool passesThroughLink(const std::string& base, std::string_view relative) {
  std::string path = base;
  size_t start = 0;
  while (start < relative.size()) {
    size_t end = relative.find(platform::kSeparator, start);
    if (end == std::string_view::npos)
      end = relative.size();
    if (end > start) {
      path += platform::kSeparator;
      path.append(relative.substr(start, end - start));
      std::error_code error;
      if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return true;
    }
    start = end + 1;
  }
  return false;
}

std::optional<std::string> cacheRuleRoot(const std::string& volumeRoot, std::string_view dir) {
  if (climbsOutOfRoot(dir))
    return std::nullopt;
  return volumeRoot + storedPathToLocal(dir);
}

}  // namespace qinglan
