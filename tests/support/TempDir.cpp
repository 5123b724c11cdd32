#include "support/TempDir.h"

#include <algorithm>
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
#include "platform/Path.h"

namespace qinglan::test {

namespace fs = std::filesystem;

namespace {

// Path texts are UTF-8 on every system; a plain std::string would be read in the ANSI code page on
// Windows.
fs::path nativePath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

#ifdef _WIN32
TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / ("qinglan-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      const std::u8string text = candidate.u8string();
      m_path.assign(text.begin(), text.end());
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
  fs::remove_all(nativePath(m_path), ignored);
}

std::string TempDir::path(std::string_view relative) const {
  std::string full = m_path;
  full += platform::kSeparator;
  full += relative;
  // Tests write relative paths with "/" on every system.
  std::replace(full.end() - static_cast<std::ptrdiff_t>(relative.size()), full.end(), '/',
               platform::kSeparator);
  return full;
}

std::string TempDir::writeFile(std::string_view relative, std::string_view content) const {
  const std::string full = path(relative);
  fs::create_directories(nativePath(full).parent_path());
  std::ofstream out(nativePath(full), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out)
    throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::makeFolder(std::string_view relative) const {
  const std::string full = path(relative);
  fs::create_directories(nativePath(full));
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
