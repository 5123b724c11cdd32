#pragma once

#include <string>
#include <vector>

#include "platform/DirLister.h"
#include "platform/Volumes.h"

namespace qinglan {

inline constexpr const char* kCloudCacheFolderName = "CloudCache";

// A volume's CloudCache that is not taken for a cache, and why.
struct SkippedCache {
  std::string path;
  std::string reason;
};

// Every cache directory: for each removable or fixed volume in order, its root + "CloudCache"
// when that is a folder (a file of that name does not count), the name matched as Windows does
// (exact, else without regard to ASCII case). A CloudCache that is a link counts only when it may
// be followed (platform::followFolderLink), and then as the folder it leads to; one that may not is
// passed over and added to `skipped` when given. No result ends with a separator.
std::vector<std::string> FindAllCloudCachePaths(const std::vector<platform::Volume>& volumes,
                                                platform::DirLister& lister = platform::DirLister::system(),
                                                std::vector<SkippedCache>* skipped = nullptr);

// The first of FindAllCloudCachePaths over the machine's volumes, or empty text.
std::string FindCloudCachePath(std::vector<SkippedCache>* skipped = nullptr);
std::string FindCloudCachePath(const std::vector<platform::Volume>& volumes);

}  // namespace qinglan
