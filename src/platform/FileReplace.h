#pragma once

#include <string>

namespace qinglan::platform {

enum class ReadStatus { Read, Missing, Failed };

// A whole file's bytes and permission bits, as far as the read came.
struct WholeFile {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
  unsigned mode = 0;
};

WholeFile readWholeFile(const std::string& path);

// The rest of an open file, from where its offset stands.
#ifdef _WIN32
WholeFile readWholeFromHandle(void* handle);
#else
WholeFile readWholeFromFd(int fd);
#endif

}  // namespace qinglan::platform
