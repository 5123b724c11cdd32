#pragma once

#include <cstddef>
#include <string_view>

namespace qinglan::platform::detail {

// The system calls through which the program replaces its own files (OwnFolder). Tests swap one of
// them to make that step fail, since permissions deny nothing to root. Each returns what the system
// call returns and leaves errno set on failure. Names are relative to the open folder `folder`; on
// Windows, where folders are not opened by descriptor, `folder` is -1 and names are full paths.
struct IniFileIo {
  int (*open)(int folder, const char* name, int flags, unsigned mode);
  std::ptrdiff_t (*write)(int fd, const void* data, std::size_t size);
  int (*fsync)(int fd);
  int (*rename)(int folder, const char* from, const char* to);
};

// The real calls.
IniFileIo systemIniFileIo();

// The calls in use; systemIniFileIo() unless a test has replaced them.
extern IniFileIo iniFileIo;

// Writes all the bytes through `write`, again where it wrote part or was interrupted; false when it
// fails.
bool writeWhole(int fd, std::string_view bytes,
                std::ptrdiff_t (*write)(int fd, const void* data, std::size_t size));

}  // namespace qinglan::platform::detail
