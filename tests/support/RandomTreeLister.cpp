#include "support/RandomTreeLister.h"

#include <algorithm>
#include <random>

#include "platform/Path.h"

namespace qinglan::test {

namespace {

using namespace platform;

constexpr int kMaxDepth = 4;

std::string randomName(std::mt19937& random) {
  static const char kLetters[] = "aAbBcZ._~";
  static const char* const kEndings[] = {".txt", ".LOG", ".tmp", "", "", ".a.b"};
  std::string name;
  const int length = std::uniform_int_distribution(1, 4)(random);
  for (int i = 0; i < length; ++i)
    name += kLetters[std::uniform_int_distribution(0, 8)(random)];
  return name + kEndings[std::uniform_int_distribution(0, 5)(random)];
}

}  // namespace

class RandomTreeLister::Listing final : public DirListing {
 public:
  Listing(RandomTreeLister& owner, std::string path, const std::vector<Item>& items)
      : m_owner(owner), m_path(std::move(path)) {
    for (const Item& item : items)
      m_entries.push_back(item.entry);
  }
  const std::vector<DirEntry>& entries() const override { return m_entries; }
  std::optional<EntryDetails> details(const DirEntry& entry) override {
    return m_owner.details(m_path, entry.name);
  }
  bool stillThere() const override { return m_owner.stillThere(m_path); }

 private:
  RandomTreeLister& m_owner;
  std::string m_path;
  std::vector<DirEntry> m_entries;
};

class RandomTreeLister::Root final : public WalkRoot {
 public:
  explicit Root(RandomTreeLister& owner)
      : m_owner(owner), m_root(std::make_shared<ScanRoot>("", "", std::string("r") + kSeparator)) {}
  Listed list(std::string_view, const std::string& folder) override { return m_owner.listFolder(folder); }
  const std::shared_ptr<const ScanRoot>& scanRoot() const override { return m_root; }

 private:
  RandomTreeLister& m_owner;
  std::shared_ptr<const ScanRoot> m_root;
};

RandomTreeLister::RandomTreeLister(uint32_t seed) {
  std::mt19937 random(seed);
  auto chance = [&random](int percent) { return std::uniform_int_distribution(0, 99)(random) < percent; };
  std::vector<std::string> removable;
  m_order.push_back("r");
  for (size_t next = 0; next < m_order.size(); ++next) {
    const std::string path = m_order[next] + kSeparator;
    Folder& folder = m_folders[path];
    if (next > 0) {
      const int kind = std::uniform_int_distribution(0, 99)(random);
      folder.kind = kind < 6    ? Kind::Refused
                    : kind < 10 ? Kind::Missing
                    : kind < 13 ? Kind::Mount
                                : Kind::Readable;
      if (chance(8))
        removable.push_back(path);
    }
    const int depth = static_cast<int>(std::count(path.begin(), path.end(), kSeparator));
    std::set<std::string> names;
    for (int count = std::uniform_int_distribution(0, 9)(random); count > 0; --count) {
      std::string name = randomName(random);
      if (!names.insert(name).second)
        continue;
      const int kind = std::uniform_int_distribution(0, 99)(random);
      uint32_t attributes = kind < 35 && depth < kMaxDepth ? kAttrDirectory
                            : kind < 40 ? kAttrReparsePoint | (chance(50) ? kAttrDirectory : 0)
                            : kind < 44 ? kAttrSystem
                                        : kAttrArchive;
      if (name[0] == '.')
        attributes |= kAttrHidden;
      const int64_t size = (attributes & (kAttrDirectory | kAttrReparsePoint)) != 0
                               ? 0
                               : std::uniform_int_distribution<int64_t>(0, int64_t{5} << 30)(random);
      SystemTime time;
      time.year = 2020;
      time.month = 3;
      time.day = static_cast<uint16_t>(std::uniform_int_distribution(1, 3)(random));
      const uint32_t readOnly = chance(20) ? kAttrReadOnly : 0;
      folder.items.push_back({{name, attributes}, {attributes | readOnly, size, time, time, time, {}}});
      if ((attributes & (kAttrDirectory | kAttrReparsePoint)) == kAttrDirectory)
        m_order.push_back(path + name);
    }
  }
  // Each removal waits for a random folder of the tree to be reached.
  for (const std::string& path : removable)
    m_removedAt.emplace(m_order[std::uniform_int_distribution<size_t>(0, m_order.size() - 1)(random)], path);
}

void RandomTreeLister::reached(const std::string& folder) {
  const std::lock_guard lock(m_mutex);
  const auto [begin, end] = m_removedAt.equal_range(folder);
  for (auto it = begin; it != end; ++it)
    m_removed.insert(it->second);
}

std::unique_ptr<WalkRoot> RandomTreeLister::openRoot(const std::string&, const std::string&) {
  return std::make_unique<Root>(*this);
}

WalkRoot::Listed RandomTreeLister::listFolder(const std::string& path) {
  const std::lock_guard lock(m_mutex);
  if (std::this_thread::get_id() != m_maker)
    ++m_listedElsewhere;
  const auto it = m_folders.find(path);
  if (it == m_folders.end() || m_removed.contains(path) || it->second.kind == Kind::Missing)
    return {};
  if (it->second.kind == Kind::Refused)
    return {nullptr, false, true};
  if (it->second.kind == Kind::Mount)
    return {nullptr, true, false};
  return {std::make_unique<Listing>(*this, path, it->second.items)};
}

std::optional<EntryDetails> RandomTreeLister::details(const std::string& path, const std::string& name) {
  const std::lock_guard lock(m_mutex);
  if (m_removed.contains(path))
    return std::nullopt;
  for (const Item& item : m_folders.at(path).items) {
    if (item.entry.name == name)
      return item.details;
  }
  return std::nullopt;
}

bool RandomTreeLister::stillThere(const std::string& path) {
  const std::lock_guard lock(m_mutex);
  return !m_removed.contains(path);
}

}  // namespace qinglan::test
