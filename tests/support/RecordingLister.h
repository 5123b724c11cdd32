#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/DirLister.h"

namespace qinglan::test {

// Lists through the system and writes down every folder it is asked for; the folders in `refused`
// (with trailing separators) stand there but cannot be read.
class RecordingLister final : public platform::DirLister {
 public:
  std::vector<std::string> listed;
  std::set<std::string> refused;

  std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
    listed.push_back(folder);
    if (refused.contains(folder))
      return nullptr;
    return platform::DirLister::system().list(folder);
  }

  std::unique_ptr<platform::WalkRoot> openRoot(const std::string& base, const std::string& root) override {
    auto opened = platform::DirLister::system().openRoot(base, root);
    if (!opened)
      listed.push_back(root.ends_with('/') ? root : root + '/');
    return opened ? std::make_unique<Root>(*this, std::move(opened)) : nullptr;
  }

 private:
  class Root final : public platform::WalkRoot {
   public:
    Root(RecordingLister& owner, std::unique_ptr<platform::WalkRoot> root)
        : m_owner(owner), m_root(std::move(root)) {}
    Listed list(std::string_view relative, const std::string& folder) override {
      m_owner.listed.push_back(folder);
      if (m_owner.refused.contains(folder))
        return {nullptr, false, true};
      return m_root->list(relative, folder);
    }
    const std::shared_ptr<const platform::ScanRoot>& scanRoot() const override { return m_root->scanRoot(); }

   private:
    RecordingLister& m_owner;
    std::unique_ptr<platform::WalkRoot> m_root;
  };
};

}  // namespace qinglan::test
