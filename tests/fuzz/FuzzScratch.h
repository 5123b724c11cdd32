#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
#include <filesystem>
#include <random>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

#include "FuzzCheck.h"

namespace qinglan::fuzz {

// A new folder for the files of one fuzz run, in memory where possible: the units under test sync
// what they write, and a disk would slow the run a hundredfold.
#ifdef _WIN32
inline std::string makeScratchFolder(std::string_view name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("qinglan-" + std::string(name) + "-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) {
      const std::u8string text = folder.u8string();
      return std::string(text.begin(), text.end());
    }
  }
  FUZZ_CHECK(false);
  return {};
}
#else
inline std::string makeScratchFolder(std::string_view name) {
  const std::string parent = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = parent + "/qinglan-" + std::string(name) + "-XXXXXX";
  FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
  return pattern;
}
#endif

}  // namespace qinglan::fuzz
