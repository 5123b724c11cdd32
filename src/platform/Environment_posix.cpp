#include "platform/Environment.h"

#include <cstdlib>

namespace qinglan::platform {

std::optional<std::string> environmentVariable(const char* name) {
  if (const char* value = std::getenv(name))
    return std::string(value);
  return std::nullopt;
}

}  // namespace qinglan::platform
