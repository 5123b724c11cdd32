#include "platform/DescriptorLimit.h"

#include <algorithm>

#include <sys/resource.h>

namespace qinglan::platform {

namespace {

// Kept for all but the folders listed ahead: the standard streams, the rules database and its
// journal, the clean journal, the window system's connections, and each walk's root, the folder
// it walks and the one it is opening.
constexpr rlim_t kReserve = 32;
// Beyond every walk's own bound: more would never be used.
constexpr rlim_t kMost = 1024;

}  // namespace

// Half of what the reserve leaves, so that whatever else grows with the limit keeps room too: a
// limit of 64 gives 16, the usual 1024 gives more than a walk holds.
size_t folderDescriptorBudget() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return kMost;
  if (limit.rlim_cur <= kReserve)
    return 0;
  return static_cast<size_t>(std::min((limit.rlim_cur - kReserve) / 2, kMost));
}

}  // namespace qinglan::platform
