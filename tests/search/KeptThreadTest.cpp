#include "search/KeptThread.h"

#include <future>
#include <thread>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>

#include "support/ChildProcess.h"
#endif

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

#ifndef _WIN32
// The parent's kept threads are not in a forked child: one of them idle and one busy at the fork,
// the child's job still runs and ends, and the busy one's handle lets go. An alarm ends a child
// that would wait for ever.
TEST(KeptThreadTest, AForkedChildRunsItsJobsOnThreadsOfItsOwn) {
  KeptThread([] {}).join();
  std::promise<void> release;
  KeptThread busy([done = release.get_future().share()] { done.wait(); });
  const int code = test::exitCodeInChild([&busy] {
    ::alarm(10);
    busy.join();
    bool ran = false;
    KeptThread job([&ran] { ran = true; });
    job.join();
    return ran ? 0 : 1;
  });
  release.set_value();
  busy.join();
  EXPECT_EQ(code, 0);
}
#endif

}  // namespace
}  // namespace qinglan
