#pragma once

#include <string>

#include "platform/ScanRoot.h"

namespace qinglan::platform {

// Deletes files and folder trees permanently. Never follows a symbolic link: a link is removed
// itself, and a tree is descended folder by folder relative to its parent's descriptor, never
// into another file system (a mount point stays, with what is beneath it), holding a few
// descriptors whatever its depth.
class Remover {
 public:
  virtual ~Remover() = default;
  // True when the path existed and is gone with everything inside it.
  virtual bool remove(const std::string& path) = 0;
  // Deletes a finding of a scan at `path` only while it is the entry the scan listed: found again
  // from its scan root without following a link or leaving the root's file system, with the same
  // device and inode. True when that entry is gone; false, deleting nothing, when another entry
  // stands there, the way there has changed, or the origin is unknown.
  virtual bool removeFinding(const std::string& path, const FindingOrigin& origin) = 0;

  static Remover& system();
};

}  // namespace qinglan::platform
