#include "platform/DescriptorLimit.h"

#include <cstddef>

namespace qinglan::platform {

// Folders are listed through handles, which no per-process limit of this kind bounds: each walk's
// own bound on what it lists ahead is the only one.
size_t folderDescriptorBudget() {
  return 1024;
}

}  // namespace qinglan::platform
