#pragma once

#include <string>
#include <vector>

#include "scan/ScanSession.h"
#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class DirLister;
}

// One row of the installed resource list as the basic scan reads it, in list order.
struct ScanResourceRow {
  std::string caption;     // 软件名
  std::string resourceId;  // 资源ID: the resource folder's name
  bool checked = true;
};

struct BasicScanOptions {
  platform::DirLister* lister = nullptr;  // the system's lister when null
};

// The "扫描" command: applies every enabled rule of the scan item table to each numbered content
// folder of every checked resource, lists the findings checked and returns the totals. A stop
// ends it at the next entry, keeping the rows found. The front returns to idle however the scan
// ends; an error (the database, a missing column, an invalid mask) is raised afterwards, and the
// rows found before it stay. A rule whose Folder climbs out of the content folder is skipped
// without a search. The rules of one content folder share as few walks as their roots allow, and
// their rows come rule by rule, in the order and with the error one search per rule would give.
ScanTotals runBasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources,
                        ScanFront& front, const BasicScanOptions& options = {});

}  // namespace qinglan
