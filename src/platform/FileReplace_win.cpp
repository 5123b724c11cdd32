#include "platform/FileReplace.h"

#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/IniFileIo.h"
#include "platform/NativePath.h"

namespace qinglan::platform {

namespace {

// The calls below take UTF-8 full paths, as the seam's calls do on Windows.
int openUtf8(int, const char* path, int flags, unsigned mode) {
  return ::_wopen(widePath(path).c_str(), flags, static_cast<int>(mode));
}

// One step, so a reader sees the old file or the new; written through, so the new name is durable
// once it returns.
int renameReplacing(int, const char* from, const char* to) {
  if (::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 0;
  }
  errno = EACCES;
  return -1;
}

}  // namespace

namespace detail {

IniFileIo systemIniFileIo() {
  return {
      openUtf8,
      [](int fd, const void* data, std::size_t size) -> std::ptrdiff_t {
        return ::_write(fd, data, static_cast<unsigned>(size));
      },
      [](int fd) { return ::_commit(fd); },
      renameReplacing,
  };
}

IniFileIo iniFileIo = systemIniFileIo();

}  // namespace detail

WholeFile readWholeFromHandle(HANDLE handle) {
  WholeFile file;
  file.status = ReadStatus::Read;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) {
      file.status = ReadStatus::Failed;
      break;
    }
    if (count == 0)
      break;
    file.bytes.append(buffer, count);
  }
  return file;
}

WholeFile readWholeFile(const std::string& path) {
  const HANDLE handle =
      ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::Missing : ReadStatus::Failed, {}, 0};
  }
  WholeFile file = readWholeFromHandle(handle);
  ::CloseHandle(handle);
  return file;
}

}  // namespace qinglan::platform
