#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "rules/SQLiteTable3.h"
#include "scan/ScanSession.h"
#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class DirLister;
}
class TEasyFileSearch;

// The rules database of the settings, opened before the scan's session exists, so that a database
// that cannot be opened changes nothing on the front.
std::unique_ptr<TSQLiteDatabase> openScanRules(const ScanSettings& settings);

// The lister a scan's options name, the system's when they name none.
platform::DirLister& scanLister(platform::DirLister* lister);

// Sets a search up as every scan runs it: it lists through the lister, lets the session's front
// pump, and counts a folder it cannot read in the session's unreadable folders.
void prepareScanSearch(TEasyFileSearch& search, ScanSession& session, platform::DirLister& lister);

// Shows a scan beginning: the progress text and the summary "正在扫描……", the session begun (the
// results cleared), the bar set up by `setUpBar` once it shows, the selected finding's origin and
// note emptied, and the front's pending events let run. Gives the stop the user may now request.
TStopToken beginScan(ScanSession& session, std::string_view progressText,
                     const std::function<void()>& setUpBar);

}  // namespace qinglan
