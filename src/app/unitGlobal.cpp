#include "app/unitGlobal.h"

#include <filesystem>
#include <system_error>

#include "platform/Path.h"

namespace qinglan {

GlobalSettings& globals() {
  static GlobalSettings settings;
  return settings;
}

void initGlobalSettings(const std::string& appDir) {
  GlobalSettings& settings = globals();
  settings.DbTableName = "ccdb";
  settings.AppPath = platform::withTrailingSeparator(appDir);
  settings.DbFileName = settings.AppPath + "ccdb.db";
  settings.DbPassword.clear();
}

std::string executableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return platform::withTrailingSeparator(std::filesystem::current_path().string());
  return platform::withTrailingSeparator(self.parent_path().string());
}

}  // namespace qinglan
