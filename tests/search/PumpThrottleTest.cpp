#include "search/PumpThrottle.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(PumpThrottleTest, EmptyPumpIsSkipped) {
  const TPump none;
  PumpThrottle throttle(none);
  throttle.pumpWhenDue();  // must not call the empty function
}

TEST(PumpThrottleTest, PumpsOnceTheIntervalHasPassed) {
  int calls = 0;
  const TPump pump = [&calls] { ++calls; };
  PumpThrottle throttle(pump);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  throttle.pumpWhenDue();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qinglan
