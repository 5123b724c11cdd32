#include "platform/DirLister.h"

namespace qinglan::platform {

namespace {

// Lists every folder by its path text through the lister that opened it.
class PathWalkRoot final : public WalkRoot {
 public:
  PathWalkRoot(DirLister& lister, ScanRoot root)
      : m_lister(lister), m_root(std::make_shared<const ScanRoot>(std::move(root))) {}

  Listed list(std::string_view, const std::string& folder) override {
    Listed listed{m_lister.list(folder)};
    listed.unreadable = listed.listing == nullptr;
    return listed;
  }
  const std::shared_ptr<const ScanRoot>& scanRoot() const override { return m_root; }

 private:
  DirLister& m_lister;
  std::shared_ptr<const ScanRoot> m_root;
};

}  // namespace

std::unique_ptr<WalkRoot> DirLister::openRoot(const std::string& base, const std::string& root) {
  return std::make_unique<PathWalkRoot>(*this, scanRootOf(base, root));
}

}  // namespace qinglan::platform
