#pragma once

#include <string>

namespace qinglan {

// What a scan is told by its front end: where the cache is and which rules database to read.
struct ScanSettings {
  std::string cloudCachePath;  // never ending with a separator
  std::string dbFileName;
  // "只清理 N 天前的文件": findings written within the last olderThanDays days are listed unchecked,
  // read 最近修改; 0 leaves every finding as its rule checks it.
  int olderThanDays = 0;
};

// What a cleaning pass is told by its front end.
struct CleanSettings {
  // "跳过正在使用的文件": a finding a running program holds open is kept, not deleted or trashed.
  bool skipInUse = true;
};

}  // namespace qinglan
