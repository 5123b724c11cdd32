#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::test {

namespace fs = std::filesystem;

#ifdef _WIN32
TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / ("qinglan-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      m_path = platform::pathText(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}
#else
TempDir::TempDir() {
  std::string pattern = "/tmp/qinglan-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder");
  m_path = pattern;
}
#endif

TempDir::~TempDir() {
  // Links inside are removed as links; remove_all never follows them.
  std::error_code ignored;
  fs::remove_all(platform::fsPath(m_path), ignored);
}

std::string TempDir::path(std::string_view relative) const {
  // Tests write relative paths with "/" on every system.
  return m_path + platform::kSeparator + nativeSeparators(std::string(relative));
}

std::string TempDir::writeFile(std::string_view relative, std::string_view content) const {
  const std::string full = path(relative);
  fs::create_directories(platform::fsPath(full).parent_path());
  std::ofstream out(platform::fsPath(full), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out)
    throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::makeFolder(std::string_view relative) const {
  const std::string full = path(relative);
  fs::create_directories(platform::fsPath(full));
  return full;
}

#ifdef _WIN32
// Windows tells an entry's identity only through an open handle: the system's walk and lister
// record it as a scan would.
platform::FindingOrigin TempDir::origin(std::string_view relative) const {
  auto walk = platform::DirLister::system().openRoot(m_path, m_path);
  const platform::PathParts parts = platform::splitPath(path(relative));
  platform::FindingOrigin found{walk->scanRoot(), {}};
  if (auto listing = platform::DirLister::system().list(parts.parent)) {
    for (const platform::DirEntry& entry : listing->entries()) {
      if (entry.name != parts.name)
        continue;
      if (const std::optional<platform::EntryDetails> details = listing->details(entry))
        found.id = details->id;
    }
  }
  return found;
}
#else
platform::FindingOrigin TempDir::origin(std::string_view relative) const {
  const auto idAt = [](const std::string& at) {
    struct stat info {};
    ::lstat(at.c_str(), &info);
    return platform::EntryId{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                             static_cast<uint32_t>(info.st_mode & S_IFMT)};
  };
  auto root = std::make_shared<platform::ScanRoot>(platform::scanRootOf(m_path, m_path));
  root->id = idAt(m_path);
  return {root, idAt(path(relative))};
}
#endif

}  // namespace qinglan::test
