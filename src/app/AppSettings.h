#pragma once

#include <string>

#include "app/AppPaths.h"
#include "scan/ScanSettings.h"

namespace qinglan {

// What a front end decides once and hands to every command it runs: where the program's files
// live, which cache directory is scanned and how findings are cleaned.
struct AppSettings {
  AppPaths paths;
  std::string cloudCachePath;  // never ending with a separator; empty until a cache is chosen
  CleanSettings clean;
  int olderThanDays = 0;  // see ScanSettings

  ScanSettings scanSettings() const { return {cloudCachePath, paths.dbFileName, olderThanDays}; }
};

}  // namespace qinglan
