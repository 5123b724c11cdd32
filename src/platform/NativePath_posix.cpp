#include "platform/NativePath.h"

#include <cerrno>

#include <sys/stat.h>

namespace qinglan::platform {

std::string absolutePath(std::string_view utf8) {
  return pathText(std::filesystem::absolute(fsPath(utf8)).lexically_normal());
}

bool entryExists(const std::string& path) {
  struct stat entry {};
  return ::lstat(path.c_str(), &entry) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

}  // namespace qinglan::platform
