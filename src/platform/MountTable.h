#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Volumes.h"

namespace qinglan::platform {

// Answers whether the block device numbered "major:minor" is removable.
using RemovableDeviceTest = std::function<bool(std::string_view majorMinor)>;

// The volumes of a mount table in the text form of /proc/self/mountinfo: "/" first, then by
// mount path; a path mounted twice counts once, as its last mount, and one folder of a device
// mounted at several paths once, at the first. Disk images (squashfs, loop devices) are optical.
// Lines that cannot be read are skipped.
std::vector<Volume> volumesFromMountInfo(std::string_view text, const RemovableDeviceTest& isRemovable);

// The mount path of the table that holds the absolute path (links resolved): the longest mount
// path that is the path or one of its folders; "/" when none is.
std::string mountPointOf(std::string_view path, std::string_view mountInfoText);

// mountPointOf over this process's mount table.
std::string mountPointOf(std::string_view path);

// The mount path of the mount numbered `mountId` (a line's first field, the id statx reports as
// STATX_MNT_ID); empty when the table has no such mount. Unlike a path's longest mounted folder,
// this is the mount that holds an open entry even where another mount hides part of its path.
std::string mountPathOfId(uint64_t mountId, std::string_view mountInfoText);

// mountPathOfId over this process's mount table.
std::string mountPathOfId(uint64_t mountId);

}  // namespace qinglan::platform
