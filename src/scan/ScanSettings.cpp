#include "scan/ScanSettings.h"

#include "app/unitGlobal.h"

namespace qinglan {

ScanSettings ScanSettings::fromGlobals() {
  const GlobalSettings& settings = globals();
  return ScanSettings{settings.CloudCachePath, settings.DbFileName, settings.DbTableName,
                      settings.DbPassword};
}

}  // namespace qinglan
