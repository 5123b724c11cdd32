#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "search/FileSearchTypes.h"

namespace qinglan {

class ScanView;

inline constexpr std::string_view kPreparingText = "准备扫描……";
inline constexpr std::string_view kScanningText = "正在扫描……";
inline constexpr std::string_view kScanningItemPrefix = "正在扫描…";
inline constexpr std::string_view kScanFinishedText = "扫描完成！";

// The steps every scan takes on the results page.

// Removes every row ("文件名[0]"), brings the results page to the front with the progress panel
// shown, and disables the page control.
void openResultsPage(ScanView& view);

// The folders a scan reached but could not read, each once however many of its searches did.
using UnreadableFolders = std::set<std::string>;

// "（3 个文件夹无法读取）" for a count above 0, else nothing.
std::string unreadableFoldersNote(int32_t count);

// Keeps the count of the scan's unreadable folders in globals().ScanUnreadableFolders, then shows
// "扫描完成！" with the note of that count and the total line for globals().ScanTotalKB.
void showScanTotals(ScanView& view, const UnreadableFolders& unreadable);

// Hides the progress panel and enables the page control again.
void closeResultsPage(ScanView& view);

// Brings the counter caption up to the current number of rows.
void updateResultsCounter(ScanView& view);

// Appends the row of one finding, lets pending events run, and counts a file's size in
// globals().ScanTotalKB (folders count nothing). The scan item is the one that listed it, if any.
void appendFinding(ScanView& view, const TFileInformations& found, bool checked,
                   std::string_view scanItem = {});

}  // namespace qinglan
