#include "scan/RuleRoot.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/CaselessName.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan {

namespace {

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string storedPathToLocal(std::string_view stored) {
  std::string local(stored);
  // Windows takes "/" as a separator too, so a "/" must not hide a ".." or a rooted path there.
  std::replace(local.begin(), local.end(), '\\', platform::kSeparator);
  std::replace(local.begin(), local.end(), '/', platform::kSeparator);
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

const std::vector<platform::DirEntry>* CaselessResolver::entriesOf(const std::string& folder) {
  auto [at, added] = m_listings.try_emplace(folder);
  if (added) {
    if (std::unique_ptr<platform::DirListing> listing =
            m_lister.list(platform::withTrailingSeparator(folder)))
      at->second = listing->entries();
  }
  return at->second ? &*at->second : nullptr;
}

std::optional<std::string> CaselessResolver::resolve(const std::string& base, std::string_view relative) {
  std::string path = base;
  bool found = true;
  size_t start = 0;
  while (start < relative.size()) {
    size_t end = relative.find(platform::kSeparator, start);
    if (end == std::string_view::npos)
      end = relative.size();
    const std::string_view name = relative.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".")
      continue;
    if (name == "..")
      return std::nullopt;
    // Below a component that matched nothing there is nothing to list.
    const std::vector<platform::DirEntry>* entries = found ? entriesOf(path) : nullptr;
    const platform::DirEntry* entry = entries ? platform::findEntryCaseless(*entries, name) : nullptr;
    if (entry && entry->isLink())
      return std::nullopt;
    found = entry != nullptr;
    path = platform::withTrailingSeparator(std::move(path));
    path.append(found ? std::string_view(entry->name) : name);
  }
  return path;
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
      if (std::filesystem::is_symlink(std::filesystem::symlink_status(platform::fsPath(path), error)))
        return true;
    }
    start = end + 1;
  }
  return false;
}

bool namesBaseItself(std::string_view relative) {
  return relative.find_first_not_of(std::string{platform::kSeparator, '.', ' '}) == std::string_view::npos;
}

std::string_view cacheRuleDirBelowRoot(std::string_view dir) {
  const size_t first = dir.find_first_not_of('\\');
  return dir.substr(first == std::string_view::npos ? dir.size() : first);
}

std::optional<std::string> cacheRuleRoot(platform::DirLister& lister, const std::string& volumeRoot,
                                         std::string_view dir) {
  const std::string_view belowRoot = cacheRuleDirBelowRoot(dir);
  if (climbsOutOfRoot(belowRoot))
    return std::nullopt;
  return CaselessResolver(lister).resolve(volumeRoot, storedPathToLocal(belowRoot));
}

}  // namespace qinglan
