#pragma once

#include <string>

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

 private:
  bool removeEntry(int parentFd, const std::string& name, bool isFolder);
  bool removeFolder(int parentFd, const std::string& name);

  RemoverCalls& m_calls;
};

}  // namespace qinglan::platform
