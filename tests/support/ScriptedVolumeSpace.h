#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/VolumeSpace.h"

namespace qinglan::test {

// One volume, "/vol/", whose free bytes read as the readings in turn, the last one from then on.
class ScriptedVolumeSpace final : public platform::VolumeSpace {
 public:
  std::vector<uint64_t> readings{0};
  std::optional<platform::SpaceReading> read(const std::string&) override {
    return platform::SpaceReading{"/vol/", readings.at(std::min(m_next++, readings.size() - 1))};
  }

 private:
  size_t m_next = 0;
};

}  // namespace qinglan::test
