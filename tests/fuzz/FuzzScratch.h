#pragma once

#include <string>
#include <string_view>

#include <stdlib.h>
#include <unistd.h>

#include "FuzzCheck.h"

namespace qinglan::fuzz {

// A new folder for the files of one fuzz run, in memory where possible: the units under test sync
// what they write, and a disk would slow the run a hundredfold.
inline std::string makeScratchFolder(std::string_view name) {
  const std::string parent = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = parent + "/qinglan-" + std::string(name) + "-XXXXXX";
  FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
  return pattern;
}

}  // namespace qinglan::fuzz
