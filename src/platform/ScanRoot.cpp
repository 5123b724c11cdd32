#include "platform/ScanRoot.h"

#include "platform/Path.h"

namespace qinglan::platform {

ScanRoot scanRootOf(const std::string& base, const std::string& root) {
  ScanRoot scanRoot;
  scanRoot.path = withTrailingSeparator(root);
  const bool inside =
      !base.empty() && root.starts_with(base) &&
      (root.size() == base.size() || endsWithSeparator(base) || root[base.size()] == kSeparator);
  if (!inside) {
    scanRoot.base = root;
    return scanRoot;
  }
  scanRoot.base = base;
  const size_t start = root.find_first_not_of(kSeparator, base.size());
  if (start != std::string::npos)
    scanRoot.below = root.substr(start);
  return scanRoot;
}

}  // namespace qinglan::platform
