#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Remover.h"

namespace qinglan::platform {

// The two calls of a tree removal that change the file system, so tests can fail or race them.
// Each returns what the system call returns and leaves errno set on failure.
class RemoverCalls {
 public:
  virtual ~RemoverCalls() = default;
  // Opens a folder relative to its parent's descriptor; fails with ELOOP on a link.
  virtual int openFolderAt(int parentFd, const char* name);
  virtual int unlinkAt(int parentFd, const char* name, int flags);
};

// Removes files and trees relative to the parent's descriptor, never through a link. A failure
// part way leaves what was removed removed, goes on with the rest, and makes the result false.
class PosixRemover final : public Remover {
 public:
  explicit PosixRemover(RemoverCalls& calls) : m_calls(calls) {}

  bool remove(const std::string& path) override;
  bool removeFinding(const std::string& path, const FindingOrigin& origin) override;

 private:
  struct Level;

  // Removes the entry `name` of the folder open as parentFd, which was found to be `id`.
  bool removeEntry(int parentFd, const std::string& name, bool isFolder, const EntryId& id);
  bool removeFolder(int parentFd, const std::string& name, const EntryId& id);
  // Opens the sub-folder `name` to descend into it; -1 when there is nothing to descend into.
  int openSubfolder(int folderFd, const std::string& name, Level& level);
  // Removes the files of an open folder and notes its sub-folders in `level`.
  void clearFiles(int folderFd, Level& level);

  RemoverCalls& m_calls;
};

}  // namespace qinglan::platform
