#include "app/CloudCachePath.h"

#include <sys/stat.h>

namespace qinglan {

namespace {

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> FindAllCloudCachePaths(const std::vector<platform::Volume>& volumes) {
  std::vector<std::string> found;
  for (const platform::Volume& volume : volumes) {
    if (!platform::isLocalDisk(volume.kind)) continue;
    std::string candidate = volume.root + kCloudCacheFolderName;
    if (isFolder(candidate)) found.push_back(std::move(candidate));
  }
  return found;
}

std::string FindCloudCachePath(const std::vector<platform::Volume>& volumes) {
  std::vector<std::string> found = FindAllCloudCachePaths(volumes);
  return found.empty() ? std::string() : found.front();
}

std::string FindCloudCachePath() { return FindCloudCachePath(platform::listVolumes()); }

}  // namespace qinglan
