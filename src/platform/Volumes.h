#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qinglan::platform {

// Numbered like the drive types of the Windows original.
enum class DriveKind : int {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  Optical = 5,
  Ram = 6,
};

// A mounted volume: its root with a trailing separator, and its kind.
struct Volume {
  std::string root;
  DriveKind kind = DriveKind::Unknown;

  friend bool operator==(const Volume&, const Volume&) = default;
};

// The volumes of this machine in the platform's order: the QINGLAN_VOLUMES override when set,
// else the mount table ("/" first, then by mount path).
std::vector<Volume> listVolumes();

// The volumes the system reports, without the override.
std::vector<Volume> systemVolumes();

// "PATH=KIND;PATH=KIND…" with KIND one of fixed, removable, remote, optical, ram.
std::vector<Volume> parseVolumesOverride(std::string_view text);

// True for the kinds whose volumes the cleaner searches: removable and fixed.
inline bool isLocalDisk(DriveKind kind) {
  return kind == DriveKind::Removable || kind == DriveKind::Fixed;
}

}  // namespace qinglan::platform
