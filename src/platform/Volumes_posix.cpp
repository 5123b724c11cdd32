#include "platform/Volumes.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <sys/stat.h>

#include "platform/FileReplace.h"
#include "platform/Locations.h"
#include "platform/MountTable.h"
#include "platform/Path.h"
#include "platform/TextTrim.h"

namespace qinglan::platform {

namespace {

constexpr std::array kRemoteTypes = {std::string_view("nfs"),   std::string_view("nfs4"),
                                     std::string_view("cifs"),  std::string_view("smb3"),
                                     std::string_view("smbfs"), std::string_view("fuse.sshfs")};
constexpr std::array kOpticalTypes = {std::string_view("iso9660"), std::string_view("udf")};
constexpr std::array kRamTypes = {std::string_view("tmpfs"), std::string_view("ramfs")};
// Kernel and device trees: whatever is mounted there is the system's, never a user's volume.
constexpr std::array kSystemTrees = {std::string_view("/proc"), std::string_view("/sys"),
                                     std::string_view("/dev")};
constexpr std::array kRemovableTrees = {std::string_view("/media/"), std::string_view("/run/media/")};

template <size_t N>
bool isOneOf(std::string_view value, const std::array<std::string_view, N>& set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

// Mount paths escape space, tab, newline and backslash as three octal digits.
std::string unescapeMountPath(std::string_view field) {
  std::string path;
  path.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    const bool isOctal = field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
                         field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
                         field[i + 3] >= '0' && field[i + 3] <= '7';
    if (isOctal) {
      path += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      path += field[i];
    }
  }
  return path;
}

bool isAtOrBelow(std::string_view path, std::string_view tree) {
  return path.starts_with(tree) && (path.size() == tree.size() || path[tree.size()] == '/');
}

struct MountLine {
  std::string_view id;
  std::string_view majorMinor;
  std::string_view root;  // the folder of the file system seen at the mount path
  std::string mountPath;
  std::string_view type;
  std::string_view source;
};

// "id parent major:minor root mount-path options [optional…] - type source super-options"
std::optional<MountLine> parseMountLine(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t start = 0; start < line.size();) {
    const size_t end = std::min(line.find(' ', start), line.size());
    if (end > start)
      fields.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  const auto separator = std::find(fields.begin(), fields.end(), "-");
  if (fields.size() < 6 || separator == fields.end() || std::distance(fields.begin(), separator) < 6 ||
      std::distance(separator, fields.end()) < 3) {
    return std::nullopt;
  }
  return MountLine{fields[0], fields[2], fields[3], unescapeMountPath(fields[4]), separator[1], separator[2]};
}

std::optional<DriveKind> kindOfMount(const MountLine& mount, const RemovableDeviceTest& isRemovable) {
  for (std::string_view tree : kSystemTrees) {
    if (isAtOrBelow(mount.mountPath, tree))
      return std::nullopt;
  }
  if (isOneOf(mount.type, kRemoteTypes))
    return DriveKind::Remote;
  // Disk images (a snap's squashfs, a loop-mounted file) are read-only media like a disc: never
  // a place to clean.
  if (isOneOf(mount.type, kOpticalTypes) || mount.type == "squashfs" || mount.source.starts_with("/dev/loop"))
    return DriveKind::Optical;
  if (isOneOf(mount.type, kRamTypes))
    return DriveKind::Ram;
  // The root of a container is an overlay over the host's disk.
  if (mount.type == "overlay")
    return mount.mountPath == "/" ? std::optional(DriveKind::Fixed) : std::nullopt;
  const bool onBlockDevice = mount.source.starts_with("/dev/") || mount.type == "zfs";
  if (!onBlockDevice)
    return std::nullopt;
  for (std::string_view tree : kRemovableTrees) {
    if (mount.mountPath.starts_with(tree))
      return DriveKind::Removable;
  }
  return isRemovable(mount.majorMinor) ? DriveKind::Removable : DriveKind::Fixed;
}

// A partition answers through its disk, one folder up in the device tree.
bool isRemovableBlockDevice(std::string_view majorMinor) {
  const std::string device = "/sys/dev/block/" + std::string(majorMinor);
  struct stat info {};
  const bool isPartition = ::stat((device + "/partition").c_str(), &info) == 0;
  const std::string flag = readWholeFile(device + (isPartition ? "/../removable" : "/removable")).bytes;
  return trimWhitespace(flag) == "1";
}

}  // namespace

std::vector<Volume> volumesFromMountInfo(std::string_view text, const RemovableDeviceTest& isRemovable) {
  struct Seen {
    DriveKind kind;
    std::string deviceAndRoot;
  };
  // Keyed by path so that the last mount on a path, the one in sight, wins; "/" sorts first.
  std::map<std::string, Seen> byPath;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::optional<MountLine> mount = parseMountLine(text.substr(start, end - start));
    start = end + 1;
    if (!mount)
      continue;
    const std::optional<DriveKind> kind = kindOfMount(*mount, isRemovable);
    if (kind) {
      byPath[mount->mountPath] = {*kind, std::string(mount->majorMinor) + ' ' + std::string(mount->root)};
    } else {
      byPath.erase(mount->mountPath);
    }
  }
  // A folder bound to a second path is one volume, listed at its first path.
  std::set<std::string> listed;
  std::vector<Volume> volumes;
  volumes.reserve(byPath.size());
  for (const auto& [path, seen] : byPath) {
    if (listed.insert(seen.deviceAndRoot).second)
      volumes.push_back({withTrailingSeparator(path), seen.kind});
  }
  return volumes;
}

std::string mountPointOf(std::string_view path, std::string_view mountInfoText) {
  std::string best = "/";
  for (size_t start = 0; start < mountInfoText.size();) {
    const size_t end = std::min(mountInfoText.find('\n', start), mountInfoText.size());
    const std::optional<MountLine> mount = parseMountLine(mountInfoText.substr(start, end - start));
    start = end + 1;
    if (mount && mount->mountPath.size() > best.size() && isAtOrBelow(path, mount->mountPath))
      best = mount->mountPath;
  }
  return best;
}

std::string mountPointOf(std::string_view path) {
  return mountPointOf(path, readWholeFile("/proc/self/mountinfo").bytes);
}

std::string mountPathOfId(uint64_t mountId, std::string_view mountInfoText) {
  const std::string id = std::to_string(mountId);
  for (size_t start = 0; mountId != 0 && start < mountInfoText.size();) {
    const size_t end = std::min(mountInfoText.find('\n', start), mountInfoText.size());
    const std::optional<MountLine> mount = parseMountLine(mountInfoText.substr(start, end - start));
    start = end + 1;
    if (mount && mount->id == id)
      return mount->mountPath;
  }
  return {};
}

std::string mountPathOfId(uint64_t mountId) {
  return mountPathOfId(mountId, readWholeFile("/proc/self/mountinfo").bytes);
}

std::vector<Volume> systemVolumes() {
  std::vector<Volume> volumes =
      volumesFromMountInfo(readWholeFile("/proc/self/mountinfo").bytes, isRemovableBlockDevice);
  // Files bound over files (a container's /etc/hosts) are mounts but no volumes.
  std::erase_if(volumes, [](const Volume& volume) { return !isFolder(volume.root); });
  return volumes;
}

}  // namespace qinglan::platform
