#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// A stored folder text (a scan item's Folder, a CacheClean dir) names folders the Windows way;
// each "\" becomes the platform's separator.
std::string storedPathToLocal(std::string_view stored);

// True when a relative folder text would lead out of the folder it is joined to: a ".."
// component, a leading separator, or a leading drive letter ("C:").
bool climbsOutOfRoot(std::string_view stored);

// The search root of a scan item below a content folder: the folder itself for an empty Folder,
// else the folder, a separator and the Folder text. Empty when the Folder text climbs out.
std::optional<std::string> scanItemRoot(const std::string& contentFolder, std::string_view folder);

// True when a folder on the way from base (itself not tested) down to base + separator + relative
// is a symbolic link: a search there would leave the tree below base. Missing parts are no links.
bool passesThroughLink(const std::string& base, std::string_view relative);

// The search root of a cache rule on a volume: the root (ending with a separator) followed
// directly by the dir text. Empty when the dir text climbs out.
std::optional<std::string> cacheRuleRoot(const std::string& volumeRoot, std::string_view dir);

}  // namespace qinglan
