#pragma once

#include <string>

namespace qinglan::platform {

// Deletes files and folder trees permanently. Never follows a symbolic link: a link is removed
// itself, and a tree is descended folder by folder relative to its parent's descriptor.
class Remover {
 public:
  virtual ~Remover() = default;
  // True when the path existed and is gone with everything inside it.
  virtual bool remove(const std::string& path) = 0;

  static Remover& system();
};

}  // namespace qinglan::platform
