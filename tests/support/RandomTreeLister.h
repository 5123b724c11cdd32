#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/DirLister.h"

namespace qinglan::test {

// A random folder tree under "r", held in memory and safe to list from several threads. Some of
// its folders cannot be read, some are not there, some hold another file system, and some are
// removed when the walk reaches another folder (see reached()).
class RandomTreeLister final : public platform::DirLister {
 public:
  explicit RandomTreeLister(uint32_t seed);

  // Every folder the tree names, "r" first, without a trailing separator.
  const std::vector<std::string>& folders() const { return m_order; }
  // Tells the tree that the walk has come to `folder`: the folders set to go then are removed.
  void reached(const std::string& folder);
  // How many folders were listed on another thread than the one that made the tree.
  int listedElsewhere() const { return m_listedElsewhere; }

  std::unique_ptr<platform::DirListing> list(const std::string&) override { return nullptr; }
  std::unique_ptr<platform::WalkRoot> openRoot(const std::string& base, const std::string& root) override;

 private:
  struct Item {
    platform::DirEntry entry;
    platform::EntryDetails details;
  };
  enum class Kind { Readable, Refused, Missing, Mount };
  struct Folder {
    Kind kind = Kind::Readable;
    std::vector<Item> items;
  };
  class Listing;
  class Root;

  platform::WalkRoot::Listed listFolder(const std::string& path);
  std::optional<platform::EntryDetails> details(const std::string& path, const std::string& name);
  bool stillThere(const std::string& path);

  std::mutex m_mutex;
  const std::thread::id m_maker = std::this_thread::get_id();
  int m_listedElsewhere = 0;
  std::map<std::string, Folder> m_folders;  // by path with a trailing separator
  std::vector<std::string> m_order;
  std::multimap<std::string, std::string> m_removedAt;  // reached folder -> path removed then
  std::set<std::string> m_removed;
};

}  // namespace qinglan::test
