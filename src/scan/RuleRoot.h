#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirLister.h"

namespace qinglan {

// A stored folder text (a scan item's Folder, a CacheClean dir) names folders the Windows way;
// each "\" (and "/", which Windows reads as one too) becomes the platform's separator.
std::string storedPathToLocal(std::string_view stored);

// True when a relative folder text would lead out of the folder it is joined to: a ".."
// component, a leading separator, or a leading drive letter ("C:").
bool climbsOutOfRoot(std::string_view stored);

// The search root of a scan item below a content folder: the folder itself for an empty Folder,
// else the folder, a separator and the Folder text. Empty when the Folder text climbs out.
std::optional<std::string> scanItemRoot(const std::string& contentFolder, std::string_view folder);

// Finds a folder below a base the way Windows matches names, so that caches written there and
// copied to a case-sensitive file system are found: each component is the entry of that exact
// name, else the first entry in listing order whose name equals it with ASCII letters folded.
// A component that matches no entry stays as written (the search then finds nothing there); a
// "." component names the folder it is in and is left out, so the parts after it are found the
// same way. Listings are kept for the resolver's lifetime: make one per folder tree searched.
class CaselessResolver {
 public:
  explicit CaselessResolver(platform::DirLister& lister) : m_lister(lister) {}

  // base + separator + relative ("/" between names) as found on disk; empty when a component
  // found is a symbolic link or is "..", either of which would lead the search out of the tree
  // below base.
  std::optional<std::string> resolve(const std::string& base, std::string_view relative);

 private:
  const std::vector<platform::DirEntry>* entriesOf(const std::string& folder);

  platform::DirLister& m_lister;
  std::map<std::string, std::optional<std::vector<platform::DirEntry>>> m_listings;
};

// True when a folder on the way from base (itself not tested) down to base + separator + relative
// is a symbolic link: a search there would leave the tree below base. Missing parts are no links.
bool passesThroughLink(const std::string& base, std::string_view relative);

// True when a relative path, as resolve gives it below a base, names the base itself: it holds
// nothing but separators and parts made of dots and spaces. Windows drops the dots and spaces a
// path ends with, so there "..." or ". " leads back to the folder before it as "." does.
bool namesBaseItself(std::string_view relative);

// A cache rule's dir without the backslashes it may begin with: "\\Temp" names the folder Temp at
// the drive root, as "Temp" does.
std::string_view cacheRuleDirBelowRoot(std::string_view dir);

// The search root of a cache rule on a volume: the root (ending with a separator) followed by the
// dir text resolved without regard to ASCII case. A dir beginning with "\" names a folder at the
// drive root as well ("\Temp" is "Temp"), and "." parts are left out ("." and ".\" are the
// root). Empty when the dir text climbs out or passes a link.
std::optional<std::string> cacheRuleRoot(platform::DirLister& lister, const std::string& volumeRoot,
                                         std::string_view dir);

}  // namespace qinglan
