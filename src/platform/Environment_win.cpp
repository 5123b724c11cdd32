#include "platform/Environment.h"

#include <windows.h>

#include "platform/Codepage.h"

namespace qinglan::platform {

std::optional<std::string> environmentVariable(const char* name) {
  const std::string wideName = utf8ToUtf16le(name);
  const std::wstring key(reinterpret_cast<const wchar_t*>(wideName.data()), wideName.size() / 2);
  const DWORD needed = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (needed == 0)
    return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD written = ::GetEnvironmentVariableW(key.c_str(), value.data(), needed);
  if (written >= needed)
    return std::nullopt;
  value.resize(written);
  return utf16leToUtf8(std::string_view(reinterpret_cast<const char*>(value.data()), value.size() * 2));
}

}  // namespace qinglan::platform
