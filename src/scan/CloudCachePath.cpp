#include "scan/CloudCachePath.h"

#include <memory>
#include <optional>

#include "platform/CaselessName.h"
#include "platform/FolderLink.h"

namespace qinglan {

std::vector<std::string> FindAllCloudCachePaths(const std::vector<platform::Volume>& volumes,
                                                platform::DirLister& lister,
                                                std::vector<SkippedCache>* skipped) {
  std::vector<std::string> found;
  for (const platform::Volume& volume : volumes) {
    if (!platform::isLocalDisk(volume.kind))
      continue;
    const std::unique_ptr<platform::DirListing> listing = lister.list(volume.root);
    if (!listing)
      continue;
    const platform::DirEntry* entry = platform::findEntryCaseless(listing->entries(), kCloudCacheFolderName);
    if (!entry || !entry->isFolder())
      continue;
    const std::string path = volume.root + entry->name;
    if (!entry->isLink()) {
      found.push_back(path);
      continue;
    }
    // The cache may have been moved to another disk and linked back; a link someone else planted
    // on a drive they own must not lead the program into a folder of theirs or of the system's.
    const std::optional<platform::FollowedLink> link = platform::followFolderLink(path);
    if (link && link->trusted)
      found.push_back(link->target);
    else if (skipped)
      skipped->push_back({path, link ? link->reason : "it is no longer a link to a folder"});
  }
  return found;
}

std::string FindCloudCachePath(const std::vector<platform::Volume>& volumes) {
  std::vector<std::string> found = FindAllCloudCachePaths(volumes);
  return found.empty() ? std::string() : found.front();
}

std::string FindCloudCachePath(std::vector<SkippedCache>* skipped) {
  std::vector<std::string> found =
      FindAllCloudCachePaths(platform::listVolumes(), platform::DirLister::system(), skipped);
  return found.empty() ? std::string() : found.front();
}

}  // namespace qinglan
