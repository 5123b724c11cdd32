#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/DirLister.h"
#include "platform/Path.h"

namespace qinglan::test {

// Lists through the system and writes down every folder it is asked for, from whichever thread;
// the folders in `refused` (with trailing separators) stand there but cannot be read.
class RecordingLister final : public platform::DirLister {
 public:
  std::vector<std::string> listed;
  std::set<std::string> refused;

  std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
    write(folder);
    if (refused.contains(folder))
      return nullptr;
    return platform::DirLister::system().list(folder);
  }

  std::unique_ptr<platform::WalkRoot> openRoot(const std::string& base, const std::string& root) override {
    auto opened = platform::DirLister::system().openRoot(base, root);
    if (!opened)
      write(platform::withTrailingSeparator(root));
    return opened ? std::make_unique<Root>(*this, std::move(opened)) : nullptr;
  }

 private:
  void write(const std::string& folder) {
    const std::lock_guard lock(m_mutex);
    listed.push_back(folder);
  }

  class Root final : public platform::WalkRoot {
   public:
    Root(RecordingLister& owner, std::unique_ptr<platform::WalkRoot> root)
        : m_owner(owner), m_root(std::move(root)) {}
    Listed list(std::string_view relative, const std::string& folder) override {
      m_owner.write(folder);
      if (m_owner.refused.contains(folder))
        return {nullptr, false, true};
      return m_root->list(relative, folder);
    }
    const std::shared_ptr<const platform::ScanRoot>& scanRoot() const override { return m_root->scanRoot(); }

   private:
    RecordingLister& m_owner;
    std::unique_ptr<platform::WalkRoot> m_root;
  };

  std::mutex m_mutex;
};

}  // namespace qinglan::test
