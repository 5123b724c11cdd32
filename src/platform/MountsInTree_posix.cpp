#include "platform/MountsInTree_posix.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/ConfinedRoot.h"
#include "platform/Descriptor_posix.h"

namespace qinglan::platform {

namespace {

constexpr size_t kReadBufferSize = 32 * 1024;

// The device and mount every entry of the tree must share with its top.
struct Mount {
  uint64_t device = 0;
  uint64_t id = 0;  // 0 where the kernel does not tell
};

// One folder on the way down, held by identity rather than by a descriptor.
struct Level {
  EntryId id;
  std::string name;
  std::vector<std::string> folders;  // still to look into
};

std::string placeOf(const std::vector<Level>& levels, std::string_view name) {
  std::string place;
  for (size_t i = 1; i < levels.size(); ++i)
    place += levels[i].name + "/";
  return place.append(name);
}

// " (in a/b)" below the top, nothing at the top.
std::string inPlace(const std::vector<Level>& levels) {
  std::string place = placeOf(levels, "");
  if (place.empty())
    return place;
  place.pop_back();
  return " (in " + place + ")";
}

// A mount over an entry shows at its name: the entry looked up there is the mount's root.
bool isOnOtherMount(const struct statx& info, const Mount& top) {
  if (::makedev(info.stx_dev_major, info.stx_dev_minor) != top.device)
    return true;
  if ((info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
      (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0)
    return true;
  return top.id != 0 && (info.stx_mask & STATX_MNT_ID) != 0 && info.stx_mnt_id != top.id;
}

// Checks every entry of the open folder and notes its sub-folders in `level`; empty when all are
// on the top's mount.
std::string checkEntries(int folderFd, const Mount& top, std::vector<Level>& levels) {
  alignas(dirent64) std::array<char, kReadBufferSize> buffer;
  for (;;) {
    const ssize_t filled = ::getdents64(folderFd, buffer.data(), buffer.size());
    if (filled == 0)
      return {};
    if (filled < 0)
      return "cannot be read through to look for mounts" + inPlace(levels) + ": " + std::strerror(errno);
    for (ssize_t offset = 0; offset < filled;) {
      const auto* record = reinterpret_cast<const dirent64*>(buffer.data() + offset);
      offset += record->d_reclen;
      const std::string_view name = record->d_name;
      if (name == "." || name == "..")
        continue;
      struct statx info {};
      if (::statx(folderFd, record->d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                  STATX_TYPE | STATX_INO | STATX_MNT_ID, &info) != 0) {
        if (errno == ENOENT)
          continue;
        return "cannot examine " + placeOf(levels, name) + " to look for mounts: " + std::strerror(errno);
      }
      if (isOnOtherMount(info, top))
        return "a mount point lies inside it: " + placeOf(levels, name);
      if (S_ISDIR(info.stx_mode))
        levels.back().folders.emplace_back(name);
    }
  }
}

}  // namespace

// Goes down one folder at a time and climbs back through "..", checking that the folder reached
// is the one left, as the remover does.
std::string mountInsideTree(int folderFd) {
  const Mount top{entryIdOf(folderFd).device, mountIdOf(folderFd)};
  Descriptor current(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
  if (current.get() < 0)
    return std::string("cannot be looked through for mounts: ") + std::strerror(errno);
  std::vector<Level> levels;
  levels.push_back({entryIdOf(folderFd), {}, {}});
  std::string found = checkEntries(current.get(), top, levels);
  while (found.empty() && !levels.empty()) {
    Level& level = levels.back();
    if (!level.folders.empty()) {
      const std::string name = std::move(level.folders.back());
      level.folders.pop_back();
      const int child =
          ::openat(current.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) {
        if (errno != ENOENT)
          found = "cannot open " + placeOf(levels, name) + " to look for mounts: " + std::strerror(errno);
        continue;
      }
      current.reset(child);
      if (isOtherMount(child, top.device, top.id)) {
        found = "a mount point lies inside it: " + placeOf(levels, name);
        continue;
      }
      levels.push_back({entryIdOf(child), name, {}});
      found = checkEntries(current.get(), top, levels);
      continue;
    }
    levels.pop_back();
    if (levels.empty())
      break;
    current.reset(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (current.get() < 0 || entryIdOf(current.get()) != levels.back().id)
      found = "changed while it was looked through for mounts" + inPlace(levels);
  }
  return found;
}

}  // namespace qinglan::platform
