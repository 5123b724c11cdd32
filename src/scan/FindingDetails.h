#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/ScanSettings.h"

namespace qinglan {

class ScanFront;
struct ResultsRow;

// The resource a finding comes from: ResourceName in the Resource.ini of the first folder below
// the cache directory on the finding's location, that directory being cloudCachePath or else a
// "CloudCache" folder (any case) on the location. "未知" for a finding outside any cache
// directory or directly in it, and for a resource without a name.
std::string findingOrigin(const std::string& cloudCachePath, const std::string& location);

// The resource folder that findingOrigin reads the name from, without a trailing separator, and
// the length of its resource ID at its end; an empty folder when the location has none.
struct ResourceFolder {
  std::string folder;
  size_t idLength = 0;

  std::string_view id() const { return std::string_view(folder).substr(folder.size() - idLength); }
};
ResourceFolder resourceFolderOf(const std::string& cloudCachePath, const std::string& location);

// What a click on a results row shows: the finding's origin, then what the rule that listed it
// says of its findings, or else the rules database's note on its name or extension. A database
// error is raised with the origin already shown.
void showFindingDetails(const ScanSettings& settings, const ResultsRow& row, ScanFront& front);

}  // namespace qinglan
