#pragma once

#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qinglan::test {

// Tests that build trees with symbolic links run where links are made the POSIX way; the Windows
// reparse points (junctions, links) are tested beside the Win32 lister and remover.
#ifdef _WIN32
inline constexpr bool kSymlinksMade = false;
#else
inline constexpr bool kSymlinksMade = true;
#endif
inline constexpr const char* kNoSymlinks = "symbolic links are made the POSIX way only";

// symlink(2): 0 when the link was made.
inline int makeSymlink(const std::string& target, const std::string& link) {
#ifdef _WIN32
  (void)target;
  (void)link;
  return -1;
#else
  return ::symlink(target.c_str(), link.c_str());
#endif
}

}  // namespace qinglan::test
