#include "platform/Environment.h"

#include <windows.h>

#include "platform/NativePath.h"

namespace qinglan::platform {

std::optional<std::string> environmentVariable(const char* name) {
  const std::wstring key = wideText(name);
  const DWORD needed = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (needed == 0)
    return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD written = ::GetEnvironmentVariableW(key.c_str(), value.data(), needed);
  if (written >= needed)
    return std::nullopt;
  value.resize(written);
  return utf8Text(value);
}

}  // namespace qinglan::platform
