#pragma once

#include <chrono>

#include "search/FileSearchTypes.h"

namespace qinglan {

// Calls a walk's pump at most once per interval, so a window stays responsive during a long
// search without a call for every entry. Tested for every entry, so it stays inline.
class PumpThrottle {
 public:
  // `pump` may be empty and must outlive the throttle.
  explicit PumpThrottle(const TPump& pump) : m_pump(pump), m_last(Clock::now()) {}

  void pumpWhenDue() {
    if (!m_pump)
      return;
    const auto now = Clock::now();
    if (now - m_last < kInterval)
      return;
    m_last = now;
    m_pump();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kInterval = std::chrono::milliseconds(15);

  const TPump& m_pump;
  Clock::time_point m_last;
};

}  // namespace qinglan
