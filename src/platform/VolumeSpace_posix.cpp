#include "platform/VolumeSpace.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <memory>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/MountTable.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

class PosixVolumeSpace final : public VolumeSpace {
 public:
  std::optional<SpaceReading> read(const std::string& path) override {
    struct stat info {};
    struct statvfs space {};
    if (::stat(path.c_str(), &info) != 0 || ::statvfs(path.c_str(), &space) != 0)
      return std::nullopt;
    // One root per device: a file system bound at two paths is still one volume, and the mount
    // table is read once per device rather than once per folder.
    auto found = m_roots.find(info.st_dev);
    if (found == m_roots.end()) {
      // The mount table names resolved paths.
      char resolved[PATH_MAX];
      if (::realpath(path.c_str(), resolved) == nullptr)
        return std::nullopt;
      found = m_roots.emplace(info.st_dev, withTrailingSeparator(mountPointOf(resolved))).first;
    }
    return SpaceReading{found->second, static_cast<uint64_t>(space.f_bavail) * space.f_frsize};
  }

 private:
  std::map<dev_t, std::string> m_roots;
};

}  // namespace

std::unique_ptr<VolumeSpace> VolumeSpace::system() {
  return std::make_unique<PosixVolumeSpace>();
}

}  // namespace qinglan::platform
