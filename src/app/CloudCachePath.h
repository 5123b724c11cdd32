#pragma once

#include <string>
#include <vector>

#include "platform/DirLister.h"
#include "platform/Volumes.h"

namespace qinglan {

inline constexpr const char* kCloudCacheFolderName = "CloudCache";

// Every cache directory: for each removable or fixed volume in order, its root + "CloudCache"
// when that is a folder (a file of that name does not count), the name matched as Windows does
// (exact, else without regard to ASCII case). No result ends with a separator.
std::vector<std::string> FindAllCloudCachePaths(const std::vector<platform::Volume>& volumes,
                                                platform::DirLister& lister = platform::DirLister::system());

// The first of FindAllCloudCachePaths over the machine's volumes, or empty text.
std::string FindCloudCachePath();
std::string FindCloudCachePath(const std::vector<platform::Volume>& volumes);

}  // namespace qinglan
