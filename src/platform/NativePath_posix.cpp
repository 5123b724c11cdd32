#include "platform/NativePath.h"

namespace qinglan::platform {

std::FILE* openFile(const std::string& utf8, const char* mode) {
  return std::fopen(utf8.c_str(), mode);
}

}  // namespace qinglan::platform
