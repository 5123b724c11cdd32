#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qinglan::platform {

// A volume's free bytes as a user sees them, and the root that names the volume: the same root for
// every path on it, so that readings group by volume and the root can be read again after a clean
// (the path first read may be gone by then).
struct SpaceReading {
  std::string root;
  uint64_t freeBytes = 0;
};

class VolumeSpace {
 public:
  virtual ~VolumeSpace() = default;
  // The volume holding the existing path and its free bytes; nullopt when it cannot be read.
  virtual std::optional<SpaceReading> read(const std::string& path) = 0;

  // A reader of the system's volumes; it may keep what it learnt of the mounts, so take one per pass.
  static std::unique_ptr<VolumeSpace> system();
};

}  // namespace qinglan::platform
