#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <sys/stat.h>

namespace qinglan::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = "/tmp/qinglan-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder");
  m_path = pattern;
}

TempDir::~TempDir() {
  // Links inside are removed as links; remove_all never follows them.
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

std::string TempDir::path(std::string_view relative) const {
  std::string full = m_path;
  full += '/';
  full += relative;
  return full;
}

std::string TempDir::writeFile(std::string_view relative, std::string_view content) const {
  const std::string full = path(relative);
  fs::create_directories(fs::path(full).parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out)
    throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::makeFolder(std::string_view relative) const {
  const std::string full = path(relative);
  fs::create_directories(full);
  return full;
}

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

}  // namespace qinglan::test
