#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <winioctl.h>

#include "platform/NativePath.h"

namespace qinglan::test {

// Makes `link` a junction to the folder `target` (an absolute path), as mklink /J does; false when
// the file system refuses. A directory symbolic link stands in where junctions are not made.
inline bool makeJunction(const std::string& link, const std::string& target) {
  const std::wstring linkPath = platform::widePath(link);
  if (!::CreateDirectoryW(linkPath.c_str(), nullptr))
    return false;
  const std::wstring print = platform::widePath(target).substr(4);  // without "\\?\"
  const std::wstring substitute = L"\\??\\" + print;
  // The mount point layout: tag, data length, reserved, then four name offsets and lengths and
  // the two names, each ending with a NUL.
  const size_t namesBytes = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
  std::vector<char> buffer(8 + 8 + namesBytes);
  const auto put16 = [&](size_t at, size_t value) {
    const auto v = static_cast<WORD>(value);
    std::memcpy(buffer.data() + at, &v, sizeof v);
  };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(buffer.data(), &tag, sizeof tag);
  put16(4, 8 + namesBytes);
  put16(8, 0);
  put16(10, substitute.size() * sizeof(wchar_t));
  put16(12, (substitute.size() + 1) * sizeof(wchar_t));
  put16(14, print.size() * sizeof(wchar_t));
  std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
  std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
              (print.size() + 1) * sizeof(wchar_t));
  const HANDLE handle = ::CreateFileW(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  DWORD returned = 0;
  const bool made = handle != INVALID_HANDLE_VALUE &&
                    ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  if (handle != INVALID_HANDLE_VALUE)
    ::CloseHandle(handle);
  if (!made) {
    ::RemoveDirectoryW(linkPath.c_str());
    ::CreateSymbolicLinkW(linkPath.c_str(), platform::widePath(target).c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  }
  // Some systems report success and make nothing: only a reparse point in place counts.
  const DWORD attributes = ::GetFileAttributesW(linkPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Makes the folders of a path longer than the old 260-character limit under `folder`, and a file
// `name` at its end; returns the file's path.
inline std::string makeLongPathFile(const std::string& folder, const std::string& name) {
  std::string path = folder;
  while (path.size() < 300) {
    path += '\\' + std::string(40, 'd');
    ::CreateDirectoryW(platform::widePath(path).c_str(), nullptr);
  }
  path += '\\' + name;
  const HANDLE file = ::CreateFileW(platform::widePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE)
    ::CloseHandle(file);
  return path;
}

}  // namespace qinglan::test
