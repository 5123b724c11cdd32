#include "platform/DirLister.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qinglan::platform {

namespace {

unsigned char foldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

// Upper-cases the ASCII letters among eight bytes at once; other bytes stay as they are.
uint64_t foldAsciiWord(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  const uint64_t low7 = word & (0x7F * kOnes);
  const uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;     // high bit set where the byte >= 'a'
  const uint64_t beyondZ = low7 + (0x80 - 'z' - 1) * kOnes;  // high bit set where the byte > 'z'
  const uint64_t lower = atLeastA & ~beyondZ & ~word & (0x80 * kOnes);
  return word - (lower >> 2);  // 'a' - 'A' is 0x20, the high bit shifted down twice
}

// The first eight folded bytes of a name from `from` on as one number, short names padded with
// zeros, which no name holds: numbers compare as the folded bytes do.
uint64_t foldedWord(const std::string& name, size_t from) {
  unsigned char bytes[8] = {};
  if (from < name.size())
    std::memcpy(bytes, name.data() + from, std::min<size_t>(8, name.size() - from));
  uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::little)
    word = __builtin_bswap64(word);
  return foldAsciiWord(word);
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

// Sorts by listedBefore. Each name's first sixteen folded bytes become two numbers once, so most
// comparisons are two integer compares; only names that agree in those are compared in full.
void sortListed(std::vector<DirEntry>& entries) {
  struct Key {
    uint64_t high;
    uint64_t low;
    uint32_t index;
  };
  std::vector<Key> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    keys.push_back(
        {foldedWord(entries[i].name, 0), foldedWord(entries[i].name, 8), static_cast<uint32_t>(i)});
  std::sort(keys.begin(), keys.end(), [&entries](const Key& a, const Key& b) {
    if (a.high != b.high)
      return a.high < b.high;
    if (a.low != b.low)
      return a.low < b.low;
    return listedBefore(entries[a.index], entries[b.index]);
  });
  std::vector<DirEntry> sorted;
  sorted.reserve(entries.size());
  for (const Key& key : keys)
    sorted.push_back(std::move(entries[key.index]));
  entries = std::move(sorted);
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
