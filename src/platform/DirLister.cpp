#include "platform/DirLister.h"

#include <algorithm>

namespace qinglan::platform {

namespace {

unsigned char foldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

}  // namespace

bool listedBefore(const DirEntry& left, const DirEntry& right) {
  const std::string& a = left.name;
  const std::string& b = right.name;
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char ca = foldAscii(static_cast<unsigned char>(a[i]));
    const unsigned char cb = foldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb)
      return ca < cb;
  }
  if (a.size() != b.size())
    return a.size() < b.size();
  return a < b;
}

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
