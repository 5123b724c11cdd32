#include "app/unitGlobal.h"

#include "app/AppPaths.h"
#include "platform/Locations.h"

namespace qinglan {

GlobalSettings& globals() {
  static GlobalSettings settings;
  return settings;
}

void initGlobalSettings(const AppPaths& paths) {
  GlobalSettings& settings = globals();
  settings.DbTableName = "ccdb";
  settings.AppPath = paths.appPath;
  settings.DbFileName = paths.dbFileName;
  settings.DbPassword.clear();
  settings.WhiteListFile = paths.whiteListFile;
  settings.StateFolder = paths.stateFolder;
}

void initGlobalSettings(const std::string& appDir) {
  initGlobalSettings(appFolderPaths(appDir));
}

std::string executableFolder() {
  return platform::executableFolder();
}

}  // namespace qinglan
