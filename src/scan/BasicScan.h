#pragma once

#include <string>
#include <vector>

#include "scan/ScanSession.h"
#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class DirLister;
}
class TEasyFileSearch;

// One row of the installed resource list as the basic scan reads it, in list order.
struct ScanResourceRow {
  std::string caption;     // 软件名
  std::string resourceId;  // 资源ID: the resource folder's name
  bool checked = true;
};

// How the searches of one content folder are run. Both give the same rows in the same order and
// the same error after the same rows; PerRule is the plain form, kept as the reference.
enum class RuleWalk {
  PerRoot,  // one walk per distinct search root, every enabled rule tested on each entry
  PerRule,  // one search per rule, as RunRuleSearch does it
};

struct BasicScanOptions {
  RuleWalk walk = RuleWalk::PerRoot;
  platform::DirLister* lister = nullptr;  // the system's lister when null
};

// The "扫描" command: applies every enabled rule of the scan item table to each numbered content
// folder of every checked resource, lists the findings checked and returns the totals. A stop
// ends it at the next entry, keeping the rows found. The front returns to idle however the scan
// ends; an error (the database, a missing column, an invalid mask) is raised afterwards, and the
// rows found before it stay. A rule whose Folder climbs out of the content folder is skipped
// without a search.
ScanTotals runBasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources,
                        ScanFront& front, const BasicScanOptions& options = {});

// Sets the search's root and its name masks (one a line) and runs it to its end; the findings
// arrive through the search's OnFileFound.
void RunRuleSearch(TEasyFileSearch& search, const std::string& root, const std::string& maskText);

}  // namespace qinglan
