#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scan/ScanSession.h"

namespace qinglan {

namespace platform {
class DirLister;
}

// The masks of "视频与歌曲文件", one a line.
inline constexpr std::string_view MediaMaskList =
    "*.mp3\r\n*.wav\r\n*.wma\r\n*.flv\r\n*.wmv\r\n*.f4v\r\n*.rmvb\r\n*.mpeg\r\n*.mpg\r\n*.3gp\r\n*.mp4\r\n*."
    "mkv\r\n*.rm";

struct LargeFileScanOptions {
  int64_t minimumMegabytes = 500;         // files of at least this many MiB are listed
  bool mediaOnly = false;                 // "视频与歌曲文件" instead of "所有文件" (every file)
  bool filterLva = true;                  // leave out the ".lva" backup files
  platform::DirLister* lister = nullptr;  // the system's lister when null
};

// The "开始扫描" command of the large file page: lists, unchecked, every file below the cache
// directory whose size reaches the threshold, and returns the totals; a stop ends it at the next
// entry, keeping the rows found. Sizes are 64-bit.
ScanTotals runLargeFileScan(const std::string& cloudCachePath, const LargeFileScanOptions& options,
                            ScanFront& front);

}  // namespace qinglan
