#pragma once

#include <string>

namespace qinglan {

// The shared settings a scan reads: where the cache is and how to open the rules database.
struct ScanSettings {
  std::string cloudCachePath;  // never ending with a separator
  std::string dbFileName;
  std::string dbTableName = "ccdb";
  std::string dbPassword;

  // The values of globals().
  static ScanSettings fromGlobals();
};

}  // namespace qinglan
