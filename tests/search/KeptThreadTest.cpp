#include "search/KeptThread.h"

#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(KeptThreadTest, JoinWaitsForTheJobAndTheThreadServesTheNextOne) {
  std::thread::id first;
  std::thread::id second;
  KeptThread job([&first] { first = std::this_thread::get_id(); });
  job.join();
  EXPECT_FALSE(job.joinable());
  job = KeptThread([&second] { second = std::this_thread::get_id(); });
  job.join();
  EXPECT_NE(first, std::thread::id());
  EXPECT_NE(first, std::this_thread::get_id());
  EXPECT_EQ(second, first);
}

// The first job waits for the second: with one thread for both, neither would end.
TEST(KeptThreadTest, BusyThreadsAreNotGivenAnotherJob) {
  std::promise<void> secondRan;
  const std::shared_future<void> ran = secondRan.get_future().share();
  KeptThread waiting([ran] { ran.wait(); });
  KeptThread other([&secondRan] { secondRan.set_value(); });
  other.join();
  waiting.join();
}

}  // namespace
}  // namespace qinglan
