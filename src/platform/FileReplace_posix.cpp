#include "platform/FileReplace.h"

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFileIo.h"

namespace qinglan::platform {

namespace detail {

IniFileIo systemIniFileIo() {
  return {
      [](int folder, const char* name, int flags, unsigned mode) {
        return ::openat(folder, name, flags, static_cast<mode_t>(mode));
      },
      [](int fd, const void* data, std::size_t size) -> std::ptrdiff_t { return ::write(fd, data, size); },
      [](int fd) { return ::fsync(fd); },
      [](int folder, const char* from, const char* to) { return ::renameat(folder, from, folder, to); },
  };
}

IniFileIo iniFileIo = systemIniFileIo();

}  // namespace detail

WholeFile readWholeFromFd(int fd) {
  WholeFile file;
  file.status = ReadStatus::Read;
  struct stat status {};
  if (::fstat(fd, &status) == 0)
    file.mode = status.st_mode;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      file.bytes.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      file.status = ReadStatus::Failed;
      break;
    }
  }
  return file;
}

WholeFile readWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}, 0};
  WholeFile file = readWholeFromFd(fd);
  ::close(fd);
  return file;
}

}  // namespace qinglan::platform
