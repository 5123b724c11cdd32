#pragma once

#include <string>

namespace qinglan {

// What a scan is told by its front end: where the cache is and which rules database to read.
struct ScanSettings {
  std::string cloudCachePath;  // never ending with a separator
  std::string dbFileName;
};

}  // namespace qinglan
