#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DirLister.h"

namespace qinglan::test {

// Lists through the system and writes down every folder it is asked for.
class RecordingLister final : public platform::DirLister {
 public:
  std::vector<std::string> listed;

  std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
    listed.push_back(folder);
    return platform::DirLister::system().list(folder);
  }
};

}  // namespace qinglan::test
