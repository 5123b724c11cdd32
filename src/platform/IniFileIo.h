#pragma once

#include <cstddef>

namespace qinglan::platform::detail {

// The system calls through which an IniFile write replaces its file. Tests swap one of them to make
// that step fail, since permissions deny nothing to root. Each returns what the system call returns
// and leaves errno set on failure.
struct IniFileIo {
  int (*open)(const char* path, int flags, unsigned mode);
  std::ptrdiff_t (*write)(int fd, const void* data, std::size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};

// The real calls.
IniFileIo systemIniFileIo();

// The calls in use; systemIniFileIo() unless a test has replaced them.
extern IniFileIo iniFileIo;

}  // namespace qinglan::platform::detail
