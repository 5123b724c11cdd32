#include "platform/Interrupt.h"

#include <atomic>
#include <thread>

#include <pthread.h>
#include <signal.h>

namespace qinglan::platform {

// The interrupt is blocked in every thread and taken by sigwait on a thread of its own, so no
// signal handler ever runs: the stop is requested in ordinary code.
struct InterruptWatch::Watcher {
  std::stop_source stop;
  std::atomic<bool> ending = false;
  sigset_t interrupt{};
  sigset_t previousMask{};
  std::thread thread;

  Watcher() {
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previousMask);
    thread = std::thread([this] { watch(); });
  }

  ~Watcher() {
    ending = true;
    // Wakes the watcher; an interrupt that comes meanwhile wakes it as well.
    pthread_kill(thread.native_handle(), SIGINT);
    thread.join();
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  }

  void watch() {
    for (;;) {
      int received = 0;
      if (sigwait(&interrupt, &received) != 0 || ending)
        return;
      stop.request_stop();
    }
  }
};

InterruptWatch::InterruptWatch() : m_watcher(std::make_unique<Watcher>()) {}

InterruptWatch::~InterruptWatch() = default;

std::stop_token InterruptWatch::token() const {
  return m_watcher->stop.get_token();
}

}  // namespace qinglan::platform
