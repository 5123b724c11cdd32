#include "platform/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Path.h"

namespace qinglan::platform {

std::string executableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return withTrailingSeparator(std::filesystem::current_path().string());
  return withTrailingSeparator(self.parent_path().string());
}

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
    return home;
  if (const passwd* account = getpwuid(getuid()); account != nullptr && account->pw_dir != nullptr)
    return account->pw_dir;
  return {};
}

bool folderIsWritable(const std::string& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string userFolder(UserFolder kind) {
  const char* variable = "XDG_DATA_HOME";
  const char* fallback = ".local/share";
  if (kind == UserFolder::Config) {
    variable = "XDG_CONFIG_HOME";
    fallback = ".config";
  } else if (kind == UserFolder::State) {
    variable = "XDG_STATE_HOME";
    fallback = ".local/state";
  }
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/')
    return withTrailingSeparator(value);
  return withTrailingSeparator(withTrailingSeparator(homeFolder()) + fallback);
}

}  // namespace qinglan::platform
