#pragma once

#include <optional>
#include <string>

namespace qinglan::platform {

// The value of an environment variable as UTF-8; nothing when it is not set.
std::optional<std::string> environmentVariable(const char* name);

}  // namespace qinglan::platform
