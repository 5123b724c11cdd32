#include "platform/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
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

}  // namespace qinglan::platform
