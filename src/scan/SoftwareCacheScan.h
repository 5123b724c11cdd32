#pragma once

#include <functional>
#include <vector>

#include "platform/Volumes.h"
#include "scan/ScanSession.h"
#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class DirLister;
}

struct SoftwareCacheScanOptions {
  // The machine's volumes in order, read once per scan; platform::listVolumes when empty.
  std::function<std::vector<platform::Volume>()> listVolumes;
  platform::DirLister* lister = nullptr;  // the system's lister when null
};

// The "开始扫描" command of the software cache page: searches the folder of every CacheClean rule
// on every removable and fixed volume, without entering subfolders, lists the findings checked
// and returns the totals; a stop ends it at the next entry, keeping the rows found. The front
// returns to idle however the scan ends; an error (the database, a missing column, an invalid
// mask) is raised afterwards. A rule whose dir climbs out of the volume root or passes through a
// link is skipped without a search, and so is a rule for the volume root itself (an empty dir,
// or one of "." parts such as ".\") with a mask that takes every name, however it is spelt; at
// the volume root the narrower masks list files only, never folders.
ScanTotals runSoftwareCacheScan(const ScanSettings& settings, ScanFront& front,
                                const SoftwareCacheScanOptions& options = {});

}  // namespace qinglan
