#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qinglan::platform {

// A running program that holds an entry open.
struct FileHolder {
  std::string program;
  int64_t pid = 0;
};

// Which running programs hold entries open, asked before a finding is deleted or trashed: a file
// a program has open is often one it still needs.
class OpenFiles {
 public:
  virtual ~OpenFiles() = default;
  // The program holding the entry at path open, or for a folder anything beneath it; none when
  // nothing is known to hold it (the system could not tell counts as nothing).
  virtual std::optional<FileHolder> holder(const std::string& path, bool isFolder) = 0;

  // What the system knows. On Linux every readable process is read once, here, so one instance
  // serves one cleaning pass; on Windows the Restart Manager is asked per entry.
  static std::unique_ptr<OpenFiles> system();
};

}  // namespace qinglan::platform
