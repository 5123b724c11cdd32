#pragma once

#include <string>
#include <string_view>

#include "platform/Path.h"
#include "platform/ScanRoot.h"

namespace qinglan::test {

// A path text written with "/" as the system writes it; tests write paths with "/" everywhere.
inline std::string nativeSeparators(std::string path) {
  for (char& c : path)
    if (c == '/')
      c = platform::kSeparator;
  return path;
}

// A unique folder under /tmp for one test; removed with everything inside it on destruction.
// Paths handed to the helpers are relative to the folder; parent folders are made as needed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path, without a trailing separator.
  const std::string& path() const { return m_path; }
  // path() + "/" + relative.
  std::string path(std::string_view relative) const;

  // Writes a file with the given content and returns its full path.
  std::string writeFile(std::string_view relative, std::string_view content = {}) const;
  // Makes a folder (and its parents) and returns its full path.
  std::string makeFolder(std::string_view relative) const;
  // What a walk from the folder records for the entry at `relative`, as if it listed it now.
  platform::FindingOrigin origin(std::string_view relative) const;

 private:
  std::string m_path;
};

}  // namespace qinglan::test
