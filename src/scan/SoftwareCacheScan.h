#pragma once

#include <functional>
#include <vector>

#include "platform/Volumes.h"
#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class DirLister;
}
class ScanView;

struct SoftwareCacheScanOptions {
  // The machine's volumes in order, read once per scan; platform::listVolumes when empty.
  std::function<std::vector<platform::Volume>()> listVolumes;
  platform::DirLister* lister = nullptr;  // the system's lister when null
};

// The "开始扫描" command of the software cache page: searches the folder of every CacheClean rule
// on every removable and fixed volume, without entering subfolders, lists the findings checked
// and sets globals().ScanTotalKB. The window returns to idle however the scan ends; an error (the
// database, a missing column, an invalid mask) is raised afterwards. A rule whose dir climbs out
// of the volume root is skipped without a search.
void runSoftwareCacheScan(const ScanSettings& settings, ScanView& view,
                          const SoftwareCacheScanOptions& options = {});

}  // namespace qinglan
