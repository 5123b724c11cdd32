#include "platform/Privileges.h"

#include <windows.h>

namespace qinglan::platform {

bool runsAsSuperuser() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool elevated = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                        elevation.TokenIsElevated;
  ::CloseHandle(token);
  return elevated;
}

}  // namespace qinglan::platform
