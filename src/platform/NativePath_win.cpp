#include "platform/NativePath.h"

#include <windows.h>

namespace qinglan::platform {

namespace {

std::wstring toWide(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

bool isDriveAbsolute(const std::wstring& path) {
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

std::wstring widePath(std::string_view utf8) {
  std::wstring path = toWide(utf8);
  for (wchar_t& c : path) {
    if (c == L'/')
      c = L'\\';
  }
  if (path.empty() || path.starts_with(L"\\\\?\\"))
    return path;
  // The prefix turns off the system's own clean-up of "." and "..", so that is done first.
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return path;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed)
    return path;
  full.resize(written);
  if (isDriveAbsolute(full))
    return L"\\\\?\\" + full;
  if (full.starts_with(L"\\\\"))
    return L"\\\\?\\UNC\\" + full.substr(2);
  return full;
}

}  // namespace qinglan::platform
