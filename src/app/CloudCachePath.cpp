#include "app/CloudCachePath.h"

#include <memory>

#include "platform/CaselessName.h"

namespace qinglan {

std::vector<std::string> FindAllCloudCachePaths(const std::vector<platform::Volume>& volumes,
                                                platform::DirLister& lister) {
  std::vector<std::string> found;
  for (const platform::Volume& volume : volumes) {
    if (!platform::isLocalDisk(volume.kind))
      continue;
    const std::unique_ptr<platform::DirListing> listing = lister.list(volume.root);
    if (!listing)
      continue;
    // A link to a folder counts, as the cache may have been moved to another disk and linked back.
    const platform::DirEntry* entry = platform::findEntryCaseless(listing->entries(), kCloudCacheFolderName);
    if (entry && entry->isFolder())
      found.push_back(volume.root + entry->name);
  }
  return found;
}

std::string FindCloudCachePath(const std::vector<platform::Volume>& volumes) {
  std::vector<std::string> found = FindAllCloudCachePaths(volumes);
  return found.empty() ? std::string() : found.front();
}

std::string FindCloudCachePath() {
  return FindCloudCachePath(platform::listVolumes());
}

}  // namespace qinglan
