#include "platform/WorkerThread.h"

#include <utility>

#include <pthread.h>
#include <signal.h>

namespace qinglan::platform {

// A new thread starts with its creator's signal mask, so every signal is blocked around its start.
std::thread startWorkerThread(std::function<void()> body) {
  sigset_t all{};
  sigset_t previous{};
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  std::thread thread(std::move(body));
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return thread;
}

void whenForked(void (*forget)()) {
  ::pthread_atfork(nullptr, nullptr, forget);
}

}  // namespace qinglan::platform
